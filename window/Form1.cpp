#include "Form1.h"

#include "Design.h"
#include "DesignBuilder.h"
#include "Pictures.h"
#include "runtime/App.h"
#include "runtime/CheckBox.h"
#include "runtime/CommandButton.h"
#include "runtime/ErrorReport.h"
#include "runtime/Frame.h"
#include "runtime/Image.h"
#include "runtime/Label.h"
#include "runtime/ListView.h"
#include "runtime/TextBox.h"
#include "runtime/Timer.h"
#include "store/Session.h"

namespace window {

namespace {
template<typename Control>
void bind(QObject *form, Control *&member, const char *name)
{
    member = form->findChild<Control *>(QString::fromLatin1(name));
    Q_ASSERT_X(member, "Form1", name);
}
} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , TwipsControl(this)
{
    const FormDesign &design = formDesign();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(design.caption));
    setWindowIcon(programIcon());
    QPalette background = palette();
    background.setColor(QPalette::Window, runtime::systemColor(design.background));
    setPalette(background);
    setAutoFillBackground(true);

    buildDesign(this);
    bindControls();
    connectHandlers();
    setTwipsGeometry(design.left, design.top, design.width, design.height);
}

Form1::~Form1() = default;

void Form1::bindControls()
{
    bind(this, fldID, "fldID");
    bind(this, frmErase, "frmErase");
    bind(this, frmSave, "frmSave");
    bind(this, chkAutoHide, "chkAutoHide");
    bind(this, Timer3, "Timer3");
    bind(this, chkMoveable, "chkMoveable");
    bind(this, Command1, "Command1");
    bind(this, frmCmds, "frmCmds");
    bind(this, lst, "lst");
    bind(this, Timer2, "Timer2");
    bind(this, Timer1, "Timer1");
    bind(this, fldNote, "fldNote");
    bind(this, Label6, "Label6");
    bind(this, Label5, "Label5");
    bind(this, Label2, "Label2");
    bind(this, up, "up");
    bind(this, down, "down");
    bind(this, Label1, "Label1");
    bind(this, Shape1, "Shape1");
    bind(this, Command9, "Command9");
    bind(this, Command8, "Command8");
    bind(this, Shape4, "Shape4");
    bind(this, Label4, "Label4");
    bind(this, Command7, "Command7");
    bind(this, Command6, "Command6");
    bind(this, fldTitel, "fldTitel");
    bind(this, Shape3, "Shape3");
    bind(this, Label3, "Label3");
    bind(this, Command4, "Command4");
    bind(this, Command3, "Command3");
    bind(this, Command2, "Command2");
    bind(this, Command5, "Command5");
    bind(this, Shape2, "Shape2");
}

void Form1::connectHandlers()
{
    connect(Label1, &runtime::Label::DblClick, this, &Form1::Label1_DblClick);
    connect(Label1, &runtime::Label::MouseDown, this, &Form1::Label1_MouseDown);
    connect(down, &runtime::Image::MouseMove, this, &Form1::down_MouseMove);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);

    connect(lst, &runtime::ListView::ItemClick, this, &Form1::lst_ItemClick);
    connect(lst, &runtime::ListView::HighlightMoved, this, &Form1::lst_HighlightMoved);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);

    connect(lst, &runtime::ListView::MouseMove, this, &Form1::lst_MouseMove);
    connect(fldNote, &runtime::MultiLineTextBox::MouseMove, this, &Form1::fldNote_MouseMove);
    connect(Label2, &runtime::Label::MouseMove, this, &Form1::Label2_MouseMove);
    connect(Label5, &runtime::Label::MouseMove, this, &Form1::Label5_MouseMove);
    connect(Label6, &runtime::Label::MouseMove, this, &Form1::Label6_MouseMove);
    connect(Timer1, &runtime::Timer::tick, this, &Form1::Timer1_Timer);
    connect(Timer2, &runtime::Timer::tick, this, &Form1::Timer2_Timer);

    connect(Timer3, &runtime::Timer::tick, this, &Form1::Timer3_Timer);
}

store::NoteStore Form1::noteStore() const
{
    return store::NoteStore(store::databasePathIn(runtime::App::Path()));
}

void Form1::reportStoreError(const store::StoreError &error)
{
    runtime::reportError(this, error.message());
}

void Form1::reloadList()
{
    store::Result<store::NoteList> notes = noteStore().listNotes();
    if (!notes) {
        store::StoreError error = notes.error();
        error.remedy = QStringLiteral("Listan som visas kan vara inaktuell; den läses om vid "
                                      "nästa ändring. ")
                       + error.remedy;
        reportStoreError(error);
        return;
    }
    showList(std::move(*notes));
}

void Form1::showList(store::NoteList notes)
{
    store::NoteList::Parts parts = std::move(notes).release();
    lst->adoptItems(std::move(parts.ids), std::move(parts.starts), std::move(parts.titles));
}

} // namespace window

#include "DesignBuilder.h"

#include "Design.h"
#include "Pictures.h"
#include "runtime/Fonts.h"
#include "window/controls/CheckBox.h"
#include "window/controls/CommandButton.h"
#include "window/controls/Frame.h"
#include "window/controls/Image.h"
#include "window/controls/Label.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QCheckBox>
#include <QHash>
#include <QPixmap>
#include <algorithm>
#include <limits>
#include <map>
#include <type_traits>
#include <variant>
#include <vector>

namespace window {

namespace {

using runtime::systemColor;

bool isWindowless(ControlType type)
{
    return type == ControlType::Label || type == ControlType::Image || type == ControlType::Shape;
}

void fillBackground(QWidget *widget, SystemColor role)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, systemColor(role));
    // A check box keeps the style's white box around its check mark.
    if (!qobject_cast<QCheckBox *>(widget)) {
        palette.setColor(QPalette::Base, systemColor(role));
        palette.setColor(QPalette::Button, systemColor(role));
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColor(QWidget *widget, SystemColor role)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, systemColor(role));
    palette.setColor(QPalette::Text, systemColor(role));
    palette.setColor(QPalette::ButtonText, systemColor(role));
    widget->setPalette(palette);
}

QWidget *makeMultiLineTextBox(const ControlDesign &d, QWidget *parent)
{
    auto *box = new window::MultiLineTextBox(parent);
    if (d.look == Look::Flat) {
        box->setFrameStyle(QFrame::Box | QFrame::Plain);
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, systemColor(SystemColor::WindowText));
        box->setPalette(palette);
    } else {
        box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    }
    box->setLineWidth(1);
    return box;
}

QWidget *makeTextBox(const ControlDesign &d, QWidget *parent)
{
    auto *box = new window::TextBox(parent);
    // Any length the database holds: a longer paste would otherwise be cut without a word.
    box->setMaxLength(std::numeric_limits<int>::max());
    if (d.look == Look::Flat)
        box->setFlatBorder(systemColor(SystemColor::WindowText));
    return box;
}

QWidget *makeLabel(const ControlDesign &d, QWidget *parent)
{
    auto *label = new window::Label(parent);
    label->setText(QString::fromUtf8(d.text));
    label->setAlignment((d.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setWordWrap(false);
    setTextColor(label, d.foreground.value_or(SystemColor::ButtonText));
    if (d.border)
        label->setBorderColor(systemColor(SystemColor::WindowText));
    if (!d.transparent && d.background)
        fillBackground(label, *d.background);
    return label;
}

QWidget *makeWidget(const ControlDesign &d, QWidget *parent)
{
    switch (d.type()) {
    case ControlType::TextBox:
        return makeTextBox(d, parent);
    case ControlType::MultiLineTextBox:
        return makeMultiLineTextBox(d, parent);
    case ControlType::Frame:
        return new window::Frame(parent);
    case ControlType::CheckBox: {
        auto *box = new window::CheckBox(parent);
        box->setCheckState(d.checkState);
        return box;
    }
    case ControlType::CommandButton: {
        auto *button = new window::CommandButton(parent);
        button->setText(QString::fromUtf8(d.text));
        button->setLook(d.look == Look::Flat ? window::CommandButton::Look::Flat
                                             : window::CommandButton::Look::ThreeD);
        button->setFaceColor(systemColor(d.background.value_or(SystemColor::TitleBarText)));
        button->setBorderColor(systemColor(SystemColor::WindowText));
        setTextColor(button, SystemColor::ButtonText);
        return button;
    }
    case ControlType::ListView: {
        auto *list = new window::ListView(parent);
        list->setColumnHeaderText(QString::fromUtf8(listColumnDesign().header));
        list->setColumnWidthTwips(listColumnDesign().width);
        list->setFrameStyle(QFrame::Box | QFrame::Plain);
        list->setLineWidth(1);
        return list;
    }
    case ControlType::Label:
        return makeLabel(d, parent);
    case ControlType::Image: {
        auto *image = new window::Image(parent);
        image->setPixmap(QPixmap::fromImage(
            d.picture == Picture::ArrowPointingDown ? arrowPointingDown() : arrowPointingUp()));
        return image;
    }
    case ControlType::Shape: {
        auto *shape = new window::Shape(parent);
        shape->setBorderColor(systemColor(SystemColor::WindowText));
        return shape;
    }
    case ControlType::Timer:
        break;
    }
    return nullptr;
}

void applyCommonSettings(const ControlDesign &d, QWidget *widget)
{
    widget->setObjectName(QString::fromLatin1(d.name));
    if (d.designFont)
        widget->setFont(runtime::designFont());
    if (*d.toolTip)
        widget->setToolTip(QString::fromUtf8(d.toolTip));
    if (d.type() != ControlType::Label) {
        if (d.background)
            fillBackground(widget, *d.background);
        if (d.foreground)
            setTextColor(widget, *d.foreground);
    }
    dynamic_cast<runtime::TwipsControl &>(*widget).setTwipsGeometry(d.left, d.top, d.width,
                                                                    d.height);
    widget->setHidden(!d.visible);
}

QObject *makeTimer(const ControlDesign &d, QWidget *form)
{
    auto *timer = new window::Timer(form);
    timer->setObjectName(QString::fromLatin1(d.name));
    timer->setInterval(d.interval);
    timer->setEnabled(d.enabled);
    return timer;
}

// Puts a control into the member its row names. The row's member type decided which control
// was made, so the cast only fails for a control some other code put under the name.
void assign(Controls &controls, const ControlDesign &d, QObject *control)
{
    std::visit(
        [&](auto member) {
            using Pointer = std::remove_reference_t<decltype(controls.*member)>;
            controls.*member = dynamic_cast<Pointer>(control);
            if (!(controls.*member))
                qFatal("The window's control %s is missing or not of its kind", d.name);
        },
        d.slot);
}

// Within a container, windowless controls lie below windowed ones; within each kind the design's
// stacking order decides. Raising from the bottom up leaves stack 1 of the windowed kind on top.
void applyStacking(const std::vector<std::pair<const ControlDesign *, QWidget *>> &placed)
{
    std::map<QString, std::vector<std::pair<const ControlDesign *, QWidget *>>> byContainer;
    for (const auto &entry : placed)
        byContainer[QString::fromLatin1(entry.first->container)].push_back(entry);
    for (auto &[container, entries] : byContainer) {
        std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
            const bool aBelow = isWindowless(a.first->type());
            const bool bBelow = isWindowless(b.first->type());
            if (aBelow != bBelow)
                return aBelow;
            return a.first->stack > b.first->stack;
        });
        for (const auto &entry : entries)
            entry.second->raise();
    }
}

// Tab order by tab index; controls that never take the focus (labels, frames) are left out.
void applyTabOrder(const std::vector<std::pair<const ControlDesign *, QWidget *>> &placed)
{
    std::vector<std::pair<const ControlDesign *, QWidget *>> order;
    for (const auto &entry : placed) {
        if (entry.first->tabIndex >= 0 && entry.second->focusPolicy() != Qt::NoFocus)
            order.push_back(entry);
    }
    std::sort(order.begin(), order.end(),
              [](const auto &a, const auto &b) { return a.first->tabIndex < b.first->tabIndex; });
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
}

// Names for assistive technology, from the design's own texts: a control's caption, else its
// tooltip (which also describes it), else the text of the label that introduces it; the note
// list is named by its column header.
void applyAccessibleNames(const std::vector<std::pair<const ControlDesign *, QWidget *>> &placed)
{
    for (const auto &[design, widget] : placed) {
        QString name = QString::fromUtf8(design->text);
        if (*design->toolTip) {
            widget->setAccessibleDescription(QString::fromUtf8(design->toolTip));
            if (name.isEmpty())
                name = QString::fromUtf8(design->toolTip);
        }
        if (name.isEmpty() && *design->labelledBy) {
            if (const ControlDesign *label = findControlDesign(design->labelledBy))
                name = QString::fromUtf8(label->text);
        }
        if (name.isEmpty() && design->type() == ControlType::ListView)
            name = QString::fromUtf8(listColumnDesign().header);
        if (!name.isEmpty())
            widget->setAccessibleName(name);
    }
}

} // namespace

Controls buildDesign(QWidget *form)
{
    Controls controls;
    QHash<QString, QWidget *> containers{{QStringLiteral("NoteWindow"), form}};
    std::vector<std::pair<const ControlDesign *, QWidget *>> placed;
    // Frames first, so that the controls inside them have their parent.
    std::vector<const ControlDesign *> ordered;
    for (const ControlDesign &d : controlDesigns())
        ordered.push_back(&d);
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const ControlDesign *d) { return d->type() == ControlType::Frame; });
    for (const ControlDesign *d : ordered) {
        if (d->type() == ControlType::Timer) {
            assign(controls, *d, makeTimer(*d, form));
            continue;
        }
        QWidget *parent = containers.value(QString::fromLatin1(d->container), form);
        QWidget *widget = makeWidget(*d, parent);
        applyCommonSettings(*d, widget);
        if (d->type() == ControlType::Frame)
            containers.insert(QString::fromLatin1(d->name), widget);
        placed.emplace_back(d, widget);
        assign(controls, *d, widget);
    }
    applyStacking(placed);
    applyTabOrder(placed);
    applyAccessibleNames(placed);
    return controls;
}

Controls findControls(const QWidget &form)
{
    Controls controls;
    for (const ControlDesign &d : controlDesigns())
        assign(controls, d, form.findChild<QObject *>(QString::fromLatin1(d.name)));
    return controls;
}

} // namespace window

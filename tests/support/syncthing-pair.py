"""The parts of tests/support/syncthing-pair.sh that speak XML and JSON: the daemons'
configuration, their REST API (on 127.0.0.1 only, with the API key of each) and the question
whether the two agree on the shared folder. Standard library only.

Subcommands (each ends 0 when done or the answer is yes, 1 when the answer is no, with the reason
on stdout, and 2 on a usage error):
  free-ports COUNT
  configure HOME GUI_PORT SYNC_PORT PEER_ID PEER_SYNC_PORT FOLDER_ID FOLDER_PATH RESCAN_S
  answers URL KEY
  listening URL KEY ADDRESS
  connected URL KEY PEER_ID
  scan URL KEY FOLDER_ID
  in-sync FOLDER_ID URL_A KEY_A ID_A URL_B KEY_B ID_B
"""

import json
import socket
import sys
import urllib.error
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ET

# Each request waits this long at most; a daemon that does not answer counts as "not yet".
REQUEST_TIMEOUT_S = 10


def free_ports(count):
    """Ports the kernel hands out now: all bound at once, so that they differ."""
    sockets = []
    try:
        for _ in range(count):
            s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            s.bind(("127.0.0.1", 0))
            sockets.append(s)
        print(" ".join(str(s.getsockname()[1]) for s in sockets))
    finally:
        for s in sockets:
            s.close()
    return 0


def set_child(parent, tag, text, **attributes):
    child = parent.find(tag)
    if child is None:
        child = ET.SubElement(parent, tag)
    child.text = text
    for name, value in attributes.items():
        child.set(name, value)
    return child


def device_element(parent, device_id, name, address):
    device = ET.SubElement(parent, "device", {
        "id": device_id, "name": name, "compression": "metadata", "introducer": "false",
        "skipIntroductionRemovals": "false", "introducedBy": ""})
    ET.SubElement(device, "address").text = address
    ET.SubElement(device, "paused").text = "false"
    ET.SubElement(device, "autoAcceptFolders").text = "false"
    return device


def configure(home, gui_port, sync_port, peer_id, peer_sync_port, folder_id, folder_path,
              rescan_s):
    """Rewrites the generated config.xml: this machine only, nothing announced, reported or
    fetched; the peer known by its address; the folder shared with it. Prints the API key."""
    path = f"{home}/config.xml"
    tree = ET.parse(path)
    root = tree.getroot()
    own = root.find("device")
    own_id = own.get("id")

    gui = root.find("gui")
    gui.set("enabled", "true")
    gui.set("tls", "false")
    set_child(gui, "address", f"127.0.0.1:{gui_port}")
    api_key = gui.find("apikey").text

    options = root.find("options")
    for tag, value in {
        "listenAddress": f"tcp://127.0.0.1:{sync_port}",
        "globalAnnounceEnabled": "false",
        "localAnnounceEnabled": "false",
        "relaysEnabled": "false",
        "natEnabled": "false",
        "startBrowser": "false",
        "urAccepted": "-1",
        "autoUpgradeIntervalH": "0",
        "crashReportingEnabled": "false",
        "announceLANAddresses": "false",
        "restartOnWakeup": "false",
        # STUN is asked only for NAT traversal; 0 never starts it.
        "stunKeepaliveStartS": "0",
        "stunKeepaliveMinS": "0",
        # The peer may start after this daemon first dials it: dial again each second.
        "reconnectionIntervalS": "1",
        "setLowPriority": "false",
    }.items():
        set_child(options, tag, value)
    for notification in options.findall("unackedNotificationID"):
        options.remove(notification)

    for device in root.findall("device"):
        if device.get("id") != own_id:
            root.remove(device)
    own.set("name", "self")
    set_child(own, "address", f"tcp://127.0.0.1:{sync_port}")
    peer = device_element(root, peer_id, "peer", f"tcp://127.0.0.1:{peer_sync_port}")
    # Devices come before the GUI in Syncthing's own order.
    root.remove(peer)
    root.insert(list(root).index(own) + 1, peer)

    for folder in root.findall("folder"):
        root.remove(folder)
    folder = ET.Element("folder", {
        "id": folder_id, "label": folder_id, "path": folder_path, "type": "sendreceive",
        "rescanIntervalS": str(rescan_s), "fsWatcherEnabled": "true", "fsWatcherDelayS": "1",
        "ignorePerms": "false", "autoNormalize": "true"})
    ET.SubElement(folder, "filesystemType").text = "basic"
    for device_id in (own_id, peer_id):
        ET.SubElement(folder, "device", {"id": device_id, "introducedBy": ""})
    ET.SubElement(folder, "markerName").text = ".stfolder"
    root.insert(0, folder)

    tree.write(path, encoding="unicode")
    print(api_key)
    return 0


def request(url, key, path, method="GET", **query):
    address = f"{url}{path}"
    if query:
        address += "?" + urllib.parse.urlencode(query)
    req = urllib.request.Request(address, method=method, headers={"X-API-Key": key})
    with urllib.request.urlopen(req, timeout=REQUEST_TIMEOUT_S) as response:
        body = response.read()
    return json.loads(body) if body else None


def answers(url, key):
    try:
        return 0 if request(url, key, "/rest/system/ping").get("ping") == "pong" else 1
    except (OSError, ValueError) as error:
        print(f"the REST API at {url} does not answer: {error}")
        return 1


def listening(url, key, address):
    """0 when the daemon listens on ADDRESS, 1 while it does not yet, 3 when it cannot."""
    try:
        status = request(url, key, "/rest/system/status")
    except (OSError, ValueError) as error:
        print(f"the REST API at {url} does not answer: {error}")
        return 1
    listener = status.get("connectionServiceStatus", {}).get(address)
    if listener is None:
        print(f"no listener for {address} yet")
        return 1
    if listener.get("error"):
        print(f"cannot listen on {address}: {listener['error']}")
        return 3
    return 0


def connected(url, key, peer_id):
    try:
        connections = request(url, key, "/rest/system/connections")["connections"]
    except (OSError, ValueError, KeyError) as error:
        print(f"the REST API at {url} does not answer: {error}")
        return 1
    if connections.get(peer_id, {}).get("connected"):
        return 0
    print(f"the daemon at {url} is not connected to {peer_id}")
    return 1


def scan(url, key, folder_id):
    """Has the daemon scan the folder now; returns once the scan is done."""
    try:
        request(url, key, "/rest/db/scan", method="POST", folder=folder_id)
    except (OSError, ValueError) as error:
        print(f"the daemon at {url} could not scan the folder {folder_id}: {error}")
        return 1
    return 0


def side_lag(name, url, key, folder_id, peer_id):
    """What keeps one side from agreeing with the other, or None."""
    connections = request(url, key, "/rest/system/connections")["connections"]
    if not connections.get(peer_id, {}).get("connected"):
        return f"{name} is not connected to its peer"
    status = request(url, key, "/rest/db/status", folder=folder_id)
    if status.get("error"):
        return f"{name}'s folder has an error: {status['error']}"
    if status.get("pullErrors"):
        errors = request(url, key, "/rest/folder/errors", folder=folder_id)
        return f"{name} cannot take files from its peer: {errors}"
    if status.get("state") != "idle":
        return f"{name}'s folder is {status.get('state')}"
    if status.get("needTotalItems"):
        return f"{name} still needs {status['needTotalItems']} items"
    completion = request(url, key, "/rest/db/completion", folder=folder_id, device=peer_id)
    if completion.get("completion") != 100 or completion.get("needItems") or \
            completion.get("needDeletes"):
        return (f"{name} sees its peer at {completion.get('completion')} %, "
                f"{completion.get('needItems')} items and {completion.get('needDeletes')} "
                "deletions behind")
    return None


def global_view(url, key, folder_id):
    status = request(url, key, "/rest/db/status", folder=folder_id)
    return tuple(status.get(field) for field in (
        "globalFiles", "globalDirectories", "globalDeleted", "globalBytes", "localFiles",
        "localDirectories", "localDeleted", "localBytes"))


def in_sync(folder_id, url_a, key_a, id_a, url_b, key_b, id_b):
    """Both daemons idle, neither needing anything, each seeing the other complete, and both
    counting the same files, folders, deletions and bytes."""
    try:
        lag = side_lag("A", url_a, key_a, folder_id, id_b) or \
            side_lag("B", url_b, key_b, folder_id, id_a)
        if lag is None:
            view_a = global_view(url_a, key_a, folder_id)
            view_b = global_view(url_b, key_b, folder_id)
            if view_a != view_b:
                lag = f"A and B count the folder differently: {view_a} and {view_b}"
    except (OSError, ValueError, KeyError) as error:
        lag = f"a daemon does not answer: {error}"
    if lag:
        print(lag)
        return 1
    return 0


COMMANDS = {
    "free-ports": (free_ports, [int]),
    "configure": (configure, [str, int, int, str, int, str, str, int]),
    "answers": (answers, [str, str]),
    "listening": (listening, [str, str, str]),
    "connected": (connected, [str, str, str]),
    "scan": (scan, [str, str, str]),
    "in-sync": (in_sync, [str] * 7),
}


def main(arguments):
    if not arguments or arguments[0] not in COMMANDS:
        print(__doc__, file=sys.stderr)
        return 2
    function, types = COMMANDS[arguments[0]]
    values = arguments[1:]
    if len(values) != len(types):
        print(__doc__, file=sys.stderr)
        return 2
    return function(*(kind(value) for kind, value in zip(types, values)))


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

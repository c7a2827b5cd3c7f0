#!/usr/bin/python3
"""A stand-in desktop for the tray tests, run on a private bus:

    dbus-run-session -- /usr/bin/python3 fake_desktop.py OUT_DIR

It plays the panel's StatusNotifierWatcher and the notice daemon and writes
what it sees into OUT_DIR: "registrations" (one item name a line), "item"
(the item's properties as key=value lines, read after each registration),
"menu" (the menu as "id parent label" lines), "icon_name" (re-read on
NewIcon), "notices" (one notice a line, strings as UTF-8 hex), "buttons"
(the id and the actions of each notice that has any, as "id key label"
with hex strings). The test drives it through org.vantor.FakeDesktop at
/Control (InvokeAction presses a notice's first button). "address"
appears last at start-up: the bus address, once every name is owned.
"""
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = 'org.kde.StatusNotifierWatcher'
ITEM = 'org.kde.StatusNotifierItem'
MENU = 'com.canonical.dbusmenu'
NOTIFY = 'org.freedesktop.Notifications'
CONTROL = 'org.vantor.FakeDesktop'


def hexed(text):
    return str(text).encode('utf-8').hex() or '-'


class Desktop:
    def __init__(self, bus, out):
        self.bus = bus
        self.out = out
        self.item = None  # the last registered item's bus name

    def write(self, name, text, append=False):
        # Appended lines are whole lines in one write; the test reads only
        # lines that end; other files are replaced whole.
        path = os.path.join(self.out, name)
        with open(path if append else path + '.tmp', 'a' if append else 'w') as f:
            f.write(text)
        if not append:
            os.replace(path + '.tmp', path)

    def proxy(self, path):
        return self.bus.get_object(self.item, path, introspect=False,
                                   follow_name_owner_changes=True)

    def registered(self, service):
        self.item = str(service)
        self.write('registrations', self.item + '\n', append=True)
        # Read the item as a host would, without blocking the loop: the item
        # answers only when the program dispatches.
        self.proxy('/StatusNotifierItem').GetAll(
            ITEM, dbus_interface=dbus.PROPERTIES_IFACE,
            reply_handler=self.got_item, error_handler=self.failed)

    def got_item(self, props):
        lines = []
        for key in sorted(props):
            value = props[key]
            if key in ('IconPixmap', 'AttentionIconPixmap', 'OverlayIconPixmap'):
                value = ';'.join('%d %d %s' % (w, h, bytes(data).hex()) for w, h, data in value)
            elif key == 'ToolTip':
                value = value[2]
            elif isinstance(value, dbus.Boolean):
                value = 'true' if value else 'false'
            lines.append('%s=%s\n' % (key, value))
        self.write('item', ''.join(lines))
        self.proxy('/MenuBar').GetLayout(
            0, -1, dbus.Array([], signature='s'), dbus_interface=MENU,
            reply_handler=self.got_menu, error_handler=self.failed)

    def got_menu(self, revision, layout):
        lines = []

        def walk(node, parent):
            node_id, props, children = node
            if node_id != 0:
                lines.append('%d %d %s\n' % (node_id, parent, props.get('label', '')))
            for child in children:
                walk(child, node_id)
        walk(layout, -1)
        self.write('menu', ''.join(lines))

    def new_icon(self):
        self.proxy('/StatusNotifierItem').Get(
            ITEM, 'IconName', dbus_interface=dbus.PROPERTIES_IFACE,
            reply_handler=lambda name: self.write('icon_name', str(name)),
            error_handler=self.failed)

    def failed(self, error):
        self.write('errors', str(error) + '\n', append=True)


class Watcher(dbus.service.Object):
    def __init__(self, bus, desktop):
        super().__init__(bus, '/StatusNotifierWatcher')
        self.desktop = desktop

    @dbus.service.method(WATCHER, in_signature='s', out_signature='')
    def RegisterStatusNotifierItem(self, service):
        self.desktop.registered(service)
        self.StatusNotifierItemRegistered(service)

    @dbus.service.signal(WATCHER, signature='s')
    def StatusNotifierItemRegistered(self, service):
        pass


class Notices(dbus.service.Object):
    def __init__(self, bus, desktop):
        super().__init__(bus, '/org/freedesktop/Notifications')
        self.desktop = desktop
        self.count = 0
        self.actions = {}  # notice id -> its first action key

    @dbus.service.method(NOTIFY, in_signature='susssasa{sv}i', out_signature='u')
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, timeout):
        self.count += 1
        self.desktop.write('notices', '%s %s %s %s %d\n' % (
            app_name, app_icon, hexed(summary), hexed(body), timeout), append=True)
        if actions:
            self.actions[self.count] = str(actions[0])
            self.desktop.write('buttons', '%d %s\n' % (self.count, ' '.join(hexed(a) for a in actions)),
                               append=True)
        return self.count

    @dbus.service.signal(NOTIFY, signature='us')
    def ActionInvoked(self, notice_id, key):
        pass


class Control(dbus.service.Object):
    def __init__(self, bus, desktop, loop, notices):
        super().__init__(bus, '/Control')
        self.desktop = desktop
        self.loop = loop
        self.notices = notices

    @dbus.service.method(CONTROL, in_signature='i', out_signature='')
    def InvokeAction(self, notice_id):
        self.notices.ActionInvoked(dbus.UInt32(notice_id), self.notices.actions.get(notice_id, ''))

    @dbus.service.method(CONTROL, in_signature='i', out_signature='')
    def Click(self, entry):
        self.desktop.proxy('/MenuBar').Event(
            entry, 'clicked', dbus.Int32(0, variant_level=1), dbus.UInt32(0),
            dbus_interface=MENU, reply_handler=lambda *_: None, error_handler=self.desktop.failed)

    @dbus.service.method(CONTROL, in_signature='', out_signature='')
    def Activate(self):
        self.desktop.proxy('/StatusNotifierItem').Activate(
            0, 0, dbus_interface=ITEM, reply_handler=lambda *_: None,
            error_handler=self.desktop.failed)

    @dbus.service.method(CONTROL, in_signature='', out_signature='')
    def DropWatcher(self):
        self.desktop.bus.release_name(WATCHER)

    @dbus.service.method(CONTROL, in_signature='', out_signature='')
    def RestoreWatcher(self):
        self.desktop.bus.request_name(WATCHER)

    @dbus.service.method(CONTROL, in_signature='', out_signature='')
    def Quit(self):
        GLib.idle_add(self.loop.quit)


def main():
    out = sys.argv[1]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    loop = GLib.MainLoop()
    desktop = Desktop(bus, out)
    notices = Notices(bus, desktop)
    keep = [Watcher(bus, desktop), notices, Control(bus, desktop, loop, notices)]
    bus.add_signal_receiver(desktop.new_icon, 'NewIcon', ITEM)
    bus.request_name(WATCHER)
    bus.request_name(NOTIFY)
    bus.request_name(CONTROL)
    desktop.write('address', os.environ['DBUS_SESSION_BUS_ADDRESS'])
    # Never outlive a test that died.
    GLib.timeout_add_seconds(120, loop.quit)
    loop.run()
    del keep


if __name__ == '__main__':
    main()

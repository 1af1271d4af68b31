#include "tests/support/txsession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

TXSession::~TXSession()
{
    Stop(m_app);
    Stop(m_windowManager);
    Stop(m_xvfb);
}

void TXSession::Stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

QString TXSession::Missing()
{
    QStringList missing;
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        missing << QStringLiteral("Xvfb (package xvfb)");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        missing << QStringLiteral("xdotool (package xdotool)");
    if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
        missing << QStringLiteral("openbox (package openbox)");
    if (QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
        missing << QStringLiteral("xprop (package x11-utils)");
    return missing.isEmpty() ? QString() : QStringLiteral("not installed: ") + missing.join(QStringLiteral(", "));
}

QString TXSession::ProgramPath(const QString &name)
{
    return qEnvironmentVariable("OS_TEST_BINARY_DIR") + QStringLiteral("/bin/") + name;
}

bool TXSession::WaitFor(const std::function<bool()> &condition, int ms)
{
    QDeadlineTimer deadline(ms);
    for (;;) {
        if (condition())
            return true;
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(50);
    }
}

bool TXSession::Start(const QStringList &extraArgs)
{
    if (m_xvfb.state() == QProcess::Running)
        return true;
    // The server picks a free display itself and writes its number once it
    // accepts clients. Without -noreset it resets whenever its last client
    // leaves, and a program connecting at that moment is refused.
    m_xvfb.setProcessChannelMode(QProcess::SeparateChannels);
    m_xvfb.start(QStringLiteral("Xvfb"), QStringList{QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                     QStringLiteral("-screen"), QStringLiteral("0"),
                                                     QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                                     QStringLiteral("tcp"), QStringLiteral("-noreset")}
                                             + extraArgs);
    if (!m_xvfb.waitForStarted(10000)) {
        m_error = QStringLiteral("Xvfb does not start: ") + m_xvfb.errorString();
        return false;
    }
    QByteArray out;
    WaitFor([&] {
        m_xvfb.waitForReadyRead(50);
        out += m_xvfb.readAllStandardOutput();
        return out.contains('\n') || m_xvfb.state() != QProcess::Running;
    });
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (!ok || m_xvfb.state() != QProcess::Running) {
        m_error = QStringLiteral("Xvfb did not report its display: ")
                  + QString::fromLocal8Bit(m_xvfb.readAllStandardError());
        Stop(m_xvfb);
        return false;
    }
    m_display = QStringLiteral(":%1").arg(number);
    if (!StartWindowManager()) {
        Stop(m_windowManager);
        Stop(m_xvfb);
        return false;
    }
    return true;
}

bool TXSession::StartWindowManager()
{
    // Its own home and configuration folder: the user's openbox settings
    // (and any session manager) stay out of the test.
    m_windowManagerHome = std::make_unique<QTemporaryDir>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("HOME"), m_windowManagerHome->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_windowManagerHome->filePath(QStringLiteral("config")));
    env.remove(QStringLiteral("SESSION_MANAGER"));
    m_windowManager.setProcessEnvironment(env);
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.setStandardOutputFile(QProcess::nullDevice());
    m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!m_windowManager.waitForStarted(10000)) {
        m_error = QStringLiteral("openbox does not start: ") + m_windowManager.errorString();
        return false;
    }
    // It manages windows once it has named itself on the root window.
    const bool running = WaitFor([&] {
        if (m_windowManager.state() != QProcess::Running)
            return true;
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-display"), m_display, QStringLiteral("-root"),
                                              QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        xprop.waitForFinished(5000);
        return xprop.readAllStandardOutput().contains("window id");
    });
    if (!running || m_windowManager.state() != QProcess::Running) {
        m_error = QStringLiteral("openbox did not start managing the display");
        return false;
    }
    return true;
}

bool TXSession::BindKeys(const QString &letters)
{
    static const QStringList spare = [] {
        QStringList keys;
        for (int n = 13; n <= 24; ++n)
            keys << QStringLiteral("FK%1").arg(n);
        return keys;
    }();
    const QList<uint> codes = letters.toUcs4();
    if (codes.size() > spare.size()) {
        m_error = QStringLiteral("more letters than spare keys: ") + letters;
        return false;
    }
    QProcess dump;
    dump.start(QStringLiteral("xkbcomp"), {QStringLiteral("-xkb"), m_display, QStringLiteral("-")});
    if (!dump.waitForFinished(10000) || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        m_error = QStringLiteral("the keymap cannot be read (xkbcomp): ") + dump.errorString();
        return false;
    }
    QString keymap = QString::fromLatin1(dump.readAllStandardOutput());
    const int symbols = keymap.indexOf(QStringLiteral("xkb_symbols"));
    const int end = symbols < 0 ? -1 : keymap.indexOf(QStringLiteral("\n};"), symbols);
    if (end < 0) {
        m_error = QStringLiteral("the keymap has no symbols section");
        return false;
    }
    // Keysyms by code point (U00E3): xkbcomp knows them all, names or not.
    auto keysym = [](uint code) { return QStringLiteral("U%1").arg(code, 4, 16, QLatin1Char('0')).toUpper(); };
    QString keys;
    for (int i = 0; i < codes.size(); ++i) {
        const uint capital = QChar::toUpper(char32_t(codes[i]));
        keys += QStringLiteral("\n    key <%1> { [ %2, %3 ] };").arg(spare[i], keysym(codes[i]), keysym(capital));
    }
    // A spare key's own entry goes first (on one line or, once bound
    // before, on several).
    QString head = keymap.left(end);
    for (int i = 0; i < codes.size(); ++i)
        head.remove(QRegularExpression(QStringLiteral("\\n\\s*key <%1>\\s*\\{[^}]*\\};").arg(spare[i])));
    keymap = head + keys + keymap.mid(end);

    QProcess load;
    load.start(QStringLiteral("xkbcomp"), {QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-"), m_display});
    load.write(keymap.toLatin1());
    load.closeWriteChannel();
    if (!load.waitForFinished(10000) || load.exitStatus() != QProcess::NormalExit || load.exitCode() != 0) {
        m_error = QStringLiteral("the keymap cannot be loaded (xkbcomp): ")
                  + QString::fromLocal8Bit(load.readAllStandardError());
        return false;
    }
    return true;
}

bool TXSession::Launch(const QString &program, const QString &home, const QStringList &args,
                       const QProcessEnvironment &env)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("HOME"), home);
    e.insert(QStringLiteral("DISPLAY"), m_display);
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // In the sanitizer build the program's exit under a real X server meets
    // the leak checker on the desktop libraries (D-Bus keeps a buffer to the
    // end, and the checker's own tracer can fail with the database engine's
    // threads): that would turn a clean exit into exit code 1. Leaks are
    // checked in the tests that run our code in their own process.
    const QString asan = e.value(QStringLiteral("ASAN_OPTIONS"));
    e.insert(QStringLiteral("ASAN_OPTIONS"),
             asan.isEmpty() ? QStringLiteral("detect_leaks=0") : asan + QStringLiteral(":detect_leaks=0"));
    e.insert(env);
    m_app.setProcessEnvironment(e);
    if (m_errorFile.isEmpty()) {
        m_app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    } else {
        m_app.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_app.setStandardErrorFile(m_errorFile);
    }
    m_app.start(program, args);
    if (!m_app.waitForStarted(10000)) {
        m_error = program + QStringLiteral(": ") + m_app.errorString();
        return false;
    }
    return true;
}

bool TXSession::XDo(const QStringList &args, QStringList *output) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(2000);
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QStringList TXSession::Windows(const QString &namePattern) const
{
    QStringList ids;
    XDo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), namePattern}, &ids);
    return ids;
}

QStringList TXSession::AppWindows() const
{
    QStringList ids;
    if (m_app.state() == QProcess::Running)
        XDo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
             QString::number(m_app.processId())},
            &ids);
    return ids;
}

QString TXSession::WaitForWindow(const QString &namePattern, int ms)
{
    QStringList found;
    WaitFor(
        [&] {
            found = Windows(namePattern);
            return !found.isEmpty() || m_app.state() != QProcess::Running;
        },
        ms);
    return found.isEmpty() ? QString() : found.first();
}

bool TXSession::WaitForNoWindow(const QString &namePattern, int ms)
{
    return WaitFor([&] { return Windows(namePattern).isEmpty(); }, ms);
}

QString TXSession::WaitForNewAppWindow(const QStringList &before, int ms)
{
    QString found;
    WaitFor(
        [&] {
            for (const QString &w : AppWindows())
                if (!before.contains(w))
                    found = w;
            return !found.isEmpty() || m_app.state() != QProcess::Running;
        },
        ms);
    return found;
}

QSize TXSession::WindowSize(const QString &window) const
{
    // "WIDTH=..", "HEIGHT=.." among the lines of --shell.
    QStringList lines;
    if (!XDo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window}, &lines))
        return {};
    int width = -1, height = -1;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("WIDTH=")))
            width = line.mid(6).toInt();
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            height = line.mid(7).toInt();
    }
    return {width, height};
}

bool TXSession::Keys(const QString &window, const QStringList &keys)
{
    if (!XDo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}))
        return false;
    return XDo(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")} + keys);
}

bool TXSession::TypeText(const QString &window, const QString &text)
{
    if (!XDo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}))
        return false;
    return XDo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("50"), text});
}

bool TXSession::MoveMouse(const QString &window, int x, int y)
{
    // A synchronous move to where the pointer already is waits for a motion
    // that never comes (two clicks at one place of two windows that opened
    // at one place, for instance): the pointer is first put one pixel away.
    XDo({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x + 1), QString::number(y)});
    return XDo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"), window,
                QString::number(x), QString::number(y)});
}

bool TXSession::Click(const QString &window, int x, int y, int button)
{
    return MoveMouse(window, x, y) && XDo({QStringLiteral("click"), QString::number(button)});
}

bool TXSession::WaitForExit(int ms)
{
    return WaitFor([&] { return m_app.state() == QProcess::NotRunning || m_app.waitForFinished(50); }, ms);
}

QImage TXSession::Grab(const QString &window)
{
    bool ok = false;
    const xcb_window_t id = window.toUInt(&ok);
    if (!ok) {
        m_error = QStringLiteral("not a window id: ") + window;
        return {};
    }
    int screenNumber = 0;
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> connection(
        xcb_connect(m_display.toLocal8Bit().constData(), &screenNumber), xcb_disconnect);
    if (xcb_connection_has_error(connection.get())) {
        m_error = QStringLiteral("cannot connect to the display ") + m_display;
        return {};
    }
    xcb_connection_t *c = connection.get();
    const xcb_setup_t *setup = xcb_get_setup(c);
    std::unique_ptr<xcb_get_geometry_reply_t, void (*)(void *)> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr), std::free);
    if (!geometry) {
        m_error = QStringLiteral("no such window: ") + window;
        return {};
    }
    // Only the usual true-colour layout is read: 24 bits of depth in 32-bit
    // pixels, least significant byte first, as the virtual server gives.
    bool pixels32 = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == geometry->depth && f.data->bits_per_pixel == 32)
            pixels32 = true;
    if (geometry->depth != 24 || !pixels32 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        m_error = QStringLiteral("a pixel layout this helper does not read (depth %1)").arg(geometry->depth);
        return {};
    }
    const int width = geometry->width;
    const int height = geometry->height;
    std::unique_ptr<xcb_get_image_reply_t, void (*)(void *)> image(
        xcb_get_image_reply(c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, id, 0, 0, geometry->width,
                                             geometry->height, ~0u),
                            nullptr),
        std::free);
    if (!image || xcb_get_image_data_length(image.get()) < width * height * 4) {
        m_error = QStringLiteral("the window's pixels cannot be read (is it shown?)");
        return {};
    }
    const QImage shown(xcb_get_image_data(image.get()), width, height, width * 4, QImage::Format_RGB32);
    return shown.copy();
}

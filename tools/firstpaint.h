#pragma once

// What the children of benchstart share: the watch over the first paint of
// the main window, the peak memory, and the lines they say to the parent.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <functional>

inline void say(const char *line) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The peak resident size of this process in kB (0 when unknown).
inline long peakMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

inline QMainWindow *mainWindowOf(QObject *object) {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *main = qobject_cast<QMainWindow *>(w);
        if (main && (w == object || w->windowHandle() == object))
            return main;
    }
    return nullptr;
}

// An expose or update of the main window is handled in full (painted and
// flushed), then "painted" is said and `then` runs once the event loop turns.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(std::function<void(QMainWindow *)> then) : m_then(std::move(then)) {}

    bool eventFilter(QObject *watched, QEvent *event) override {
        const QEvent::Type type = event->type();
        if (m_done ||
            (type != QEvent::Paint && type != QEvent::Expose && type != QEvent::UpdateRequest))
            return false;
        QMainWindow *window = mainWindowOf(watched);
        if (type == QEvent::Paint) {
            m_painted = m_painted || window == watched;
            return false;
        }
        if (m_inside || !window)
            return false;
        m_inside = true;
        QCoreApplication::sendEvent(watched, event);
        m_inside = false;
        if (m_painted) {
            m_done = true;
            say("painted");
            QTimer::singleShot(0, [this, window] { m_then(window); });
        }
        return true;
    }

    // Watches the application from its construction on, whoever makes it.
    static void install(std::function<void(QMainWindow *)> then) {
        static FirstPaint *watch = nullptr;
        watch = new FirstPaint(std::move(then));
        qAddPreRoutine([] { QCoreApplication::instance()->installEventFilter(watch); });
    }

private:
    std::function<void(QMainWindow *)> m_then;
    bool m_inside = false;
    bool m_painted = false;
    bool m_done = false;
};

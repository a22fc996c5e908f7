#pragma once

#include <QEvent>
#include <QObject>

// Counts the events of one type that an object receives.
class EventCounter : public QObject {
public:
    EventCounter(QObject *watched, QEvent::Type type) : m_type(type) {
        watched->installEventFilter(this);
    }
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

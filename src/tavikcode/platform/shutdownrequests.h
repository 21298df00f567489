#pragma once

#include <QObject>

// The system or the operator ending the program from outside: SIGTERM,
// SIGINT and SIGHUP on Unix (shutdown, logout, a service manager, Ctrl+C in a
// terminal), the end of the session on Windows. requested() arrives on the
// user-interface thread, between two events, where the program closes as
// "Close" does. One instance a process.
class ShutdownRequests : public QObject
{
    Q_OBJECT

public:
    explicit ShutdownRequests(QObject *parent = nullptr);
    ~ShutdownRequests() override;

signals:
    void requested();
};

#pragma once

#include <QString>

#include <exception>
#include <string>

// The one error type of the program. Functions that read or write files, the
// settings store or the network throw it; every handler of the window catches
// it at its edge (see TForm1::userAction and tickAction) and decides how the operator sees it.
class TavikError : public std::exception
{
public:
    explicit TavikError(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

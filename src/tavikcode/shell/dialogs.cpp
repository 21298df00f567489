#include "dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace Dialogs {

namespace {

std::function<void(const Shown &)> &handler()
{
    static std::function<void(const Shown &)> instance;
    return instance;
}

void show(const Shown &dialog)
{
    if (handler()) {
        handler()(dialog);
        return;
    }
    // The program breaks its texts with CR alone; the box breaks lines at LF.
    QString text = dialog.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(dialog.kind == Kind::Error ? QMessageBox::Critical : QMessageBox::NoIcon, dialog.caption, text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace

void showMessage(const QString &text)
{
    show({Kind::Message, QApplication::applicationName(), text});
}

void showError(const QString &text)
{
    show({Kind::Error, QApplication::applicationName(), text});
}

void messageBox(const QString &text, const QString &caption)
{
    show({Kind::MessageBox, caption, text});
}

void setHandler(std::function<void(const Shown &)> h)
{
    handler() = std::move(h);
}

} // namespace Dialogs

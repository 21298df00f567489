#include "dialogs.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QWidget>

#include <memory>
#include <utility>

namespace Dialogs {

namespace {

struct Handler
{
    std::function<void(const Shown &)> function;
    bool keepOpen = false;
};

Handler &handler()
{
    static Handler instance;
    return instance;
}

QPointer<QWidget> &owner()
{
    static QPointer<QWidget> instance;
    return instance;
}

bool &closingFlag()
{
    static bool closing = false;
    return closing;
}

// The boxes shown and not yet closed.
QList<Box> &openBoxes()
{
    static QList<Box> boxes;
    return boxes;
}

QMessageBox *makeBox(const Shown &dialog)
{
    // The program breaks its texts with CR alone; the box breaks lines at LF.
    QString text = dialog.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    auto *box = new QMessageBox(dialog.kind == Kind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                                dialog.caption, text, QMessageBox::Ok, owner());
    // The texts hold network text and file names: never read as markup.
    box->setTextFormat(Qt::PlainText);
    return box;
}

Box show(const Shown &dialog, bool whileClosing = false)
{
    if (closingFlag() && !whileClosing)
        return {};
    QList<Box> &boxes = openBoxes();
    boxes.removeAll(Box());
    if (handler().function) {
        handler().function(dialog);
        if (!handler().keepOpen)
            return {};
        auto *stand = new QObject(qApp);
        boxes << stand;
        return stand;
    }
    QMessageBox *box = makeBox(dialog);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    boxes << box;
    return box;
}

} // namespace

Box showMessage(const QString &text)
{
    return show({Kind::Message, QApplication::applicationName(), text});
}

Box showError(const QString &text)
{
    return show({Kind::Error, QApplication::applicationName(), text});
}

Box messageBox(const QString &text, const QString &caption)
{
    return show({Kind::MessageBox, caption, text});
}

void showMessageAlone(const QString &text)
{
    const Shown dialog{Kind::Message, QApplication::applicationName(), text};
    if (handler().function) {
        handler().function(dialog);
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return;
    }
    QMessageBox *box = makeBox(dialog);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    box->show();
}

void setOwner(QWidget *window)
{
    owner() = window;
    closingFlag() = false;
}

void beginClosing()
{
    closingFlag() = true;
    closeAll();
}

bool closing()
{
    return closingFlag();
}

Box showClosingError(const QString &text)
{
    return show({Kind::Error, QApplication::applicationName(), text}, true);
}

void closeAll()
{
    const QList<Box> boxes = std::exchange(openBoxes(), {});
    for (const Box &box : boxes) {
        if (auto *widget = qobject_cast<QWidget *>(box.data()))
            widget->close();
        else
            delete box.data();
    }
}

int openCount()
{
    openBoxes().removeAll(Box());
    return int(openBoxes().size());
}

void setHandler(std::function<void(const Shown &)> h, bool keepOpen)
{
    closeAll();
    closingFlag() = false;
    handler() = {std::move(h), keepOpen};
}

} // namespace Dialogs

#include "filedialogs.h"

#include <QFileDialog>

namespace FileDialogs {

namespace {

std::function<QString(const SaveRequest &)> &handler()
{
    static std::function<QString(const SaveRequest &)> instance;
    return instance;
}

} // namespace

void saveFileName(QWidget *parent, const SaveRequest &request, std::function<void(const QString &)> chosen)
{
    if (handler()) {
        if (const QString fileName = handler()(request); !fileName.isEmpty())
            chosen(fileName);
        return;
    }
    // Owned by its parent, so it never outlives the window that asked.
    auto *dialog = new QFileDialog(parent, request.caption, request.suggestedName, request.filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                     [chosen = std::move(chosen)](const QString &fileName) { chosen(fileName); });
    dialog->open();
}

void setHandler(std::function<QString(const SaveRequest &)> h)
{
    handler() = std::move(h);
}

} // namespace FileDialogs

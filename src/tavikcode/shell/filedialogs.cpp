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

QString saveFileName(QWidget *parent, const SaveRequest &request)
{
    if (handler())
        return handler()(request);
    return QFileDialog::getSaveFileName(parent, request.caption, request.suggestedName, request.filter);
}

void setHandler(std::function<QString(const SaveRequest &)> h)
{
    handler() = std::move(h);
}

} // namespace FileDialogs

// Stands in for the archive until it is built: every reader fails to open,
// and the Reach window says so.
#include "archivereader.h"

#include "tavikerror.h"

std::unique_ptr<ArchiveReader> openArchiveReader(const QString &)
{
    throw TavikError(QStringLiteral("The report archive is not available"));
}

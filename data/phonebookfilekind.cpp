#include "data/phonebookfilekind.h"

#include "data/localcsvformat.h"
#include "data/localxmlformat.h"
#include "data/remotephonebookreader.h"

#include <QFile>

namespace {
// Enough for any header line; keeps probing a huge unrelated file cheap.
constexpr qint64 csvProbeBytes = 1024 * 1024;
} // namespace

PhonebookFileKind::Kind PhonebookFileKind::probe(const QString &path)
{
    if (RemotePhonebookReader::isRemoteFile(path))
        return Remote;
    return probeLocal(path);
}

PhonebookFileKind::Kind PhonebookFileKind::probeLocal(const QString &path)
{
    const Kind format = localFormat(path);
    if (format == NotAPhonebook)
        return NotAPhonebook;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return NotAPhonebook;
    const bool looksLocal = format == LocalXml ? LocalXmlFormat::probe(file.readAll())
                                               : LocalCsvFormat::probe(file.read(csvProbeBytes));
    return looksLocal ? format : NotAPhonebook;
}

PhonebookFileKind::Kind PhonebookFileKind::localFormat(const QString &path)
{
    if (path.contains(QLatin1String(".xml")) || path.contains(QLatin1String(".XML")))
        return LocalXml;
    if (path.contains(QLatin1String(".csv")) || path.contains(QLatin1String(".CSV")))
        return LocalCsv;
    return NotAPhonebook;
}

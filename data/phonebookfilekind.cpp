#include "data/phonebookfilekind.h"

#include "data/inputfile.h"
#include "data/localcsvformat.h"
#include "data/localxmlformat.h"
#include "data/remotephonebookreader.h"

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
    // What InputFile refuses (a FIFO, a device, a file over the limit) is no phonebook.
    QByteArray content;
    QString problem;
    const bool looksLocal =
        format == LocalXml
            ? InputFile::read(path, &content, &problem) && LocalXmlFormat::probe(content)
            : InputFile::read(path, &content, &problem, csvProbeBytes, false) &&
                  LocalCsvFormat::probe(content);
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

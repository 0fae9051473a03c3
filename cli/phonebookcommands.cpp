#include "cli/phonebookcommands.h"

#include "cli/commandline.h"
#include "data/inputfile.h"
#include "data/localcontactfields.h"
#include "data/localdirectory.h"
#include "data/remotedirectory.h"

#include <QLoggingCategory>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// The first reason stdout refused output; empty while it took everything.
QString outputError;

void writeOut(const QByteArray &bytes)
{
    if (!outputError.isEmpty())
        return;
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) !=
        static_cast<size_t>(bytes.size()))
        outputError = QString::fromLocal8Bit(std::strerror(errno));
}

// Flushes stdout; a result that did not arrive whole is a failure.
int finishOutput()
{
    if (outputError.isEmpty() && std::fflush(stdout) != 0)
        outputError = QString::fromLocal8Bit(std::strerror(errno));
    if (outputError.isEmpty() && std::ferror(stdout))
        outputError = QStringLiteral("write error");
    if (!outputError.isEmpty())
        return CommandLine::failure(
            QStringLiteral("cannot write the output (%1)").arg(outputError));
    return CommandLine::Success;
}

// A phonebook read only in part: the output shows what was read, the warning says what was not.
int readOutcome(const ReadResult &result, int outputCode)
{
    if (outputCode != CommandLine::Success || !result.isPartlyRead())
        return outputCode;
    return CommandLine::failure(
        QStringLiteral("warning: %1; only part of the phonebook was read").arg(result.describe()));
}

// Writes out what has collected once it is large, so a big phonebook needs no second copy.
void flushLarge(QByteArray *out)
{
    if (out->size() > 64 * 1024) {
        writeOut(*out);
        out->clear();
    }
}

// Closes the contacts list and the object, writes the rest and reports whether stdout took it.
int finishJson(QByteArray *out)
{
    *out += "]}\n";
    writeOut(*out);
    return finishOutput();
}

QString readProblem(const QString &path)
{
    const QString refusal = InputFile::refusal(path);
    if (!refusal.isEmpty())
        return path + QStringLiteral(": ") + refusal;
    QByteArray head;
    QString problem;
    if (!InputFile::read(path, &head, &problem, 1, false))
        return path + QStringLiteral(": ") + problem;
    return QString();
}

// Why an import returned false: its reason, or the generic one.
int importFailure(const ReadResult &result, const QString &path)
{
    return CommandLine::failure(result.reason.isEmpty()
                                    ? QStringLiteral("%1: cannot be read").arg(path)
                                    : QStringLiteral("%1: %2").arg(path, result.reason));
}

// convert writes nothing from a phonebook read only in part: the output would replace a good
// file with less than the input holds.
int refusePartial(const ReadResult &result, const QString &out)
{
    return CommandLine::failure(QStringLiteral("%1; only part of the phonebook was read, %2 "
                                               "was not written")
                                    .arg(result.describe(), out));
}

QByteArray number(int value)
{
    return QByteArray::number(value);
}
} // namespace

int PhonebookCommands::runOnOneFile(const QStringList &args, int (*local)(const QString &),
                                    int (*remote)(const QString &))
{
    quietLogging();
    QStringList files;
    int exitCode = CommandLine::Success;
    if (!takeFiles(args, 1, &files, &exitCode))
        return exitCode;
    switch (probeOrFail(files.at(0), &exitCode)) {
    case PhonebookFileKind::LocalXml:
    case PhonebookFileKind::LocalCsv:
        return local(files.at(0));
    case PhonebookFileKind::Remote:
        return remote(files.at(0));
    case PhonebookFileKind::NotAPhonebook:
        break;
    }
    return exitCode;
}

int PhonebookCommands::dump(const QStringList &args)
{
    return runOnOneFile(args, &PhonebookCommands::dumpLocal, &PhonebookCommands::dumpRemote);
}

int PhonebookCommands::convert(const QStringList &args)
{
    quietLogging();
    // --base-url URL: the prefix of a remote phonebook's menu item URLs, used as given.
    QStringList rest;
    QString baseUrl;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) != QLatin1String("--base-url")) {
            rest.append(args.at(i));
            continue;
        }
        if (i + 1 >= args.size())
            return CommandLine::usageError(QStringLiteral("--base-url needs a value"));
        if (!baseUrl.isNull())
            return CommandLine::usageError(QStringLiteral("--base-url given twice"));
        baseUrl = args.at(++i);
    }
    QStringList files;
    int exitCode = CommandLine::Success;
    if (!takeFiles(rest, 2, &files, &exitCode))
        return exitCode;
    switch (probeOrFail(files.at(0), &exitCode)) {
    case PhonebookFileKind::LocalXml:
    case PhonebookFileKind::LocalCsv:
        return convertLocal(files.at(0), files.at(1));
    case PhonebookFileKind::Remote:
        return convertRemote(files.at(0), files.at(1), baseUrl);
    case PhonebookFileKind::NotAPhonebook:
        break;
    }
    return exitCode;
}

int PhonebookCommands::info(const QStringList &args)
{
    return runOnOneFile(args, &PhonebookCommands::infoLocal, &PhonebookCommands::infoRemote);
}

QByteArray PhonebookCommands::jsonString(const QString &text)
{
    QByteArray result;
    result.reserve(text.size() + 2);
    result += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '"':
            result += "\\\"";
            break;
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\b':
            result += "\\b";
            break;
        case '\f':
            result += "\\f";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                result += escaped;
            } else {
                result += c;
            }
        }
    }
    result += '"';
    return result;
}

bool PhonebookCommands::takeFiles(const QStringList &args, int count, QStringList *files,
                                  int *exitCode)
{
    for (const QString &arg : args) {
        if (arg.startsWith(QLatin1String("--"))) {
            *exitCode = CommandLine::usageError(QStringLiteral("unknown option '%1'").arg(arg));
            return false;
        }
        files->append(arg);
    }
    if (files->size() != count) {
        *exitCode = CommandLine::usageError(
            QStringLiteral("expected %1 file name(s), got %2").arg(count).arg(files->size()));
        return false;
    }
    return true;
}

PhonebookFileKind::Kind PhonebookCommands::probeOrFail(const QString &path, int *exitCode)
{
    const QString problem = readProblem(path);
    if (!problem.isEmpty()) {
        *exitCode = CommandLine::failure(problem);
        return PhonebookFileKind::NotAPhonebook;
    }
    const PhonebookFileKind::Kind kind = PhonebookFileKind::probe(path);
    if (kind == PhonebookFileKind::NotAPhonebook) {
        *exitCode = CommandLine::failure(QStringLiteral("%1: not a phonebook file").arg(path));
    }
    return kind;
}

void PhonebookCommands::quietLogging()
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
}

int PhonebookCommands::dumpLocal(const QString &path)
{
    LocalDirectory &store = LocalDirectory::instance();
    if (!store.importFile(path))
        return importFailure(store.readResult(), path);

    QByteArray out = "{\"kind\": \"local\",\n \"groups\": [";
    const QList<LocalGroup *> groups = store.groups();
    for (int g = 0; g < groups.size(); ++g) {
        const LocalGroup *group = groups.at(g);
        out += g == 0 ? "\n  " : ",\n  ";
        out += "{\"id\": " + number(group->id) + ", \"name\": " + jsonString(group->name) +
               ", \"contactIds\": [";
        for (int i = 0; i < group->contactIds.size(); ++i) {
            if (i > 0)
                out += ", ";
            out += number(group->contactIds.at(i));
        }
        out += "]}";
    }
    out += "],\n \"contacts\": [";
    writeOut(out);

    const QVector<LocalContact *> contacts = store.contacts();
    out.clear();
    for (int c = 0; c < contacts.size(); ++c) {
        const LocalContact *contact = contacts.at(c);
        out += c == 0 ? "\n  " : ",\n  ";
        out += "{\"id\": " + number(contact->id) + ", \"groupId\": " + number(contact->groupId);
        for (const LocalContactFields::Field &field : LocalContactFields::all()) {
            out += ", \"";
            out += field.name.latin1();
            out += "\": ";
            out += jsonString((*contact).*field.member);
        }
        out += '}';
        flushLarge(&out);
    }
    return readOutcome(store.readResult(), finishJson(&out));
}

int PhonebookCommands::infoLocal(const QString &path)
{
    LocalDirectory &store = LocalDirectory::instance();
    if (!store.importFile(path))
        return importFailure(store.readResult(), path);
    const QString format = PhonebookFileKind::localFormat(path) == PhonebookFileKind::LocalXml
                               ? QStringLiteral("XML")
                               : QStringLiteral("CSV");
    QString text = QStringLiteral("%1: local phonebook (%2)\n").arg(path, format);
    const QList<LocalGroup *> groups = store.groups();
    text += QStringLiteral("Groups: %1\n").arg(groups.size());
    for (const LocalGroup *group : groups)
        text += QStringLiteral("  %1: %2\n").arg(group->name).arg(group->contactIds.size());
    text += QStringLiteral("Total contacts: %1\n").arg(store.contactCount(-1));
    writeOut(text.toUtf8());
    return readOutcome(store.readResult(), finishOutput());
}

int PhonebookCommands::convertLocal(const QString &in, const QString &out)
{
    LocalDirectory &store = LocalDirectory::instance();
    if (!store.importFile(in))
        return importFailure(store.readResult(), in);
    if (store.readResult().isPartlyRead())
        return refusePartial(store.readResult(), out);
    if (!store.saveFile(out))
        return CommandLine::failure(
            QStringLiteral("%1: cannot be written (%2)").arg(out, store.saveError()));
    return CommandLine::Success;
}

int PhonebookCommands::dumpRemote(const QString &path)
{
    RemoteDirectory &store = RemoteDirectory::instance();
    if (!store.importFile(path))
        return importFailure(store.readResult(), path);

    const auto idList = [](const QList<int> &ids) -> QByteArray {
        QByteArray list = "[";
        for (int i = 0; i < ids.size(); ++i) {
            if (i > 0)
                list += ", ";
            list += number(ids.at(i));
        }
        return list + ']';
    };
    const auto labeledList = [](const QVector<LabeledValue> &entries) -> QByteArray {
        QByteArray list = "[";
        for (int i = 0; i < entries.size(); ++i) {
            if (i > 0)
                list += ", ";
            list += "{\"value\": " + jsonString(entries.at(i).value) +
                    ", \"label\": " + jsonString(entries.at(i).label) + '}';
        }
        return list + ']';
    };

    QString labels[3];
    store.getNumberLabels(labels[0], labels[1], labels[2]);
    QByteArray out = "{\"kind\": \"remote\",\n \"numberLabels\": [" + jsonString(labels[0]) + ", " +
                     jsonString(labels[1]) + ", " + jsonString(labels[2]) + "],\n \"groups\": [";
    const QList<int> groupIds = store.groupIds();
    for (int g = 0; g < groupIds.size(); ++g) {
        const RemoteGroup *group = store.findGroup(groupIds.at(g));
        out += g == 0 ? "\n  " : ",\n  ";
        out += "{\"id\": " + number(group->id) + ", \"parentId\": " + number(group->parentId) +
               ", \"name\": " + jsonString(group->name) +
               ", \"isMenu\": " + (group->isMenu ? "true" : "false") +
               ", \"url\": " + jsonString(group->url) +
               ", \"childIds\": " + idList(group->childIds) + '}';
    }
    out += "],\n \"contacts\": [";
    const QList<int> contactIds = store.contactIds();
    for (int c = 0; c < contactIds.size(); ++c) {
        const RemoteContact *contact = store.findContact(contactIds.at(c));
        out += c == 0 ? "\n  " : ",\n  ";
        out += "{\"id\": " + number(contact->id) + ", \"name\": " + jsonString(contact->name) +
               ", \"customPhoto\": " + jsonString(contact->customPhoto) +
               ", \"numbers\": " + labeledList(contact->numbers) +
               ", \"extras\": " + labeledList(contact->extras) + '}';
        flushLarge(&out);
    }
    return readOutcome(store.readResult(), finishJson(&out));
}

int PhonebookCommands::infoRemote(const QString &path)
{
    RemoteDirectory &store = RemoteDirectory::instance();
    if (!store.importFile(path))
        return importFailure(store.readResult(), path);
    QString text = QStringLiteral("%1: remote phonebook\n").arg(path);
    text += QStringLiteral("Groups: %1\n").arg(store.groupIds().size() - 1);
    // The tree, two more spaces per level; a menu shows the contacts below it.
    QList<QPair<int, int>> stack{{0, 1}};
    while (!stack.isEmpty()) {
        const QPair<int, int> top = stack.takeLast();
        const RemoteGroup *group = store.findGroup(top.first);
        text += QString(top.second * 2, QLatin1Char(' ')) + group->name +
                (group->isMenu ? QStringLiteral(" (menu)") : QString()) +
                QStringLiteral(": %1\n").arg(store.contactCount(group->id));
        if (!group->isMenu)
            continue;
        for (int i = group->childIds.size() - 1; i >= 0; --i) {
            if (store.findGroup(group->childIds.at(i)))
                stack.append({group->childIds.at(i), top.second + 1});
        }
    }
    text += QStringLiteral("Total contacts: %1\n").arg(store.contactCount(-1));
    writeOut(text.toUtf8());
    return readOutcome(store.readResult(), finishOutput());
}

int PhonebookCommands::convertRemote(const QString &in, const QString &out, const QString &baseUrl)
{
    // The editor only ever reads remote phonebooks back from XML files.
    if (!out.contains(QLatin1String(".xml")) && !out.contains(QLatin1String(".XML")))
        return CommandLine::failure(
            QStringLiteral("%1: a remote phonebook is saved as an .xml file").arg(out));
    RemoteDirectory &store = RemoteDirectory::instance();
    if (!store.importFile(in))
        return importFailure(store.readResult(), in);
    if (store.readResult().isPartlyRead())
        return refusePartial(store.readResult(), out);
    const QString prefix = baseUrl.isNull() ? RemoteDirectory::baseUrlFromProvider() : baseUrl;
    if (!store.saveFile(out, prefix))
        return CommandLine::failure(
            QStringLiteral("%1: cannot be written (%2)").arg(out, store.saveError()));
    return CommandLine::Success;
}

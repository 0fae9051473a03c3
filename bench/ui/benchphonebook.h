#pragma once

// What the pane benchmarks share: remote phonebook files written the way the editor saves them
// (menus listing directories of generated entries), and timing and printing of name=value lines.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace benchphonebook {

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// The XML of one <DirectoryEntry>, newline included, for the contact numbered serial.
using EntryXml = std::function<QByteArray(int serial)>;

// A directory file titled title holding count entries numbered on from serial.
inline QByteArray directoryXml(const QByteArray &title, int count, int &serial,
                               const EntryXml &entry)
{
    QByteArray xml = "<QuelvoxIPPhoneDirectory>\n<Title>" + title + "</Title>\n";
    for (int c = 0; c < count; ++c, ++serial)
        xml += entry(serial);
    return xml + "</QuelvoxIPPhoneDirectory>\n";
}

// A menu file titled title listing (name, file) items; each URL is urlPrefix + file.
inline QByteArray menuXml(const QByteArray &title,
                          const QList<QPair<QByteArray, QByteArray>> &items,
                          const QByteArray &urlPrefix)
{
    QByteArray xml = "<QuelvoxIPPhoneMenu>\n<Title>" + title + "</Title>\n";
    for (const auto &item : items)
        xml += "<MenuItem>\n<Name>" + item.first + "</Name>\n<URL>" + urlPrefix + item.second +
               "</URL>\n</MenuItem>\n";
    return xml + "</QuelvoxIPPhoneMenu>\n";
}

// The top menu file "RemotePhonebook_bench.xml" in folder, listing the other files; returns its
// path.
inline QString writeTopMenu(const QString &folder,
                            const QList<QPair<QByteArray, QByteArray>> &items,
                            const QByteArray &urlPrefix)
{
    const QString path = folder + QStringLiteral("/RemotePhonebook_bench.xml");
    writeFile(path, menuXml("Root Directory", items, urlPrefix));
    return path;
}

// menus menus ("Menu m") of dirs directories each ("Directory i", i counted across menus);
// directory i holds contactsIn(i) entries. Returns the top menu's path.
inline QString writeMenusOfDirectories(const QString &folder, int menus, int dirs,
                                       const std::function<int(int index)> &contactsIn,
                                       const QByteArray &urlPrefix, const EntryXml &entry)
{
    const auto put = [&folder](const QByteArray &file, const QByteArray &xml) {
        writeFile(folder + QLatin1Char('/') + QString::fromLatin1(file), xml);
    };
    QList<QPair<QByteArray, QByteArray>> top;
    int serial = 0;
    for (int m = 0; m < menus; ++m) {
        const QByteArray menuName = "Menu " + QByteArray::number(m);
        const QByteArray menuFile = "RemotePhoneBook_Menu" + QByteArray::number(m) + ".xml";
        top.append({menuName, menuFile});
        QList<QPair<QByteArray, QByteArray>> items;
        for (int d = 0; d < dirs; ++d) {
            const int index = m * dirs + d;
            const QByteArray name = "Directory " + QByteArray::number(index);
            const QByteArray file =
                "RemotePhoneBook_Directory" + QByteArray::number(index) + ".xml";
            items.append({name, file});
            put(file, directoryXml(name, contactsIn(index), serial, entry));
        }
        put(menuFile, menuXml(menuName, items, urlPrefix));
    }
    return writeTopMenu(folder, top, urlPrefix);
}

enum class Clock
{
    Wall,
    ThreadCpu // this (the GUI) thread only: other processes on a busy machine stay out of it
};

inline double nowMs(Clock clock)
{
    if (clock == Clock::Wall) {
        static QElapsedTimer wall;
        if (!wall.isValid())
            wall.start();
        return wall.nsecsElapsed() / 1e6;
    }
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

inline double elapsedMs(const std::function<void()> &work, Clock clock = Clock::Wall)
{
    const double start = nowMs(clock);
    work();
    return nowMs(clock) - start;
}

// The best of runs timings of work, each after an untimed setup (may be empty).
inline double bestMs(int runs, const std::function<void()> &setup,
                     const std::function<void()> &work, Clock clock = Clock::Wall)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        best = std::min(best, elapsedMs(work, clock));
    }
    return best;
}

// Lets deferred layouts and deletions run, as the event loop would after a user action.
inline void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void print(const char *name, double value)
{
    std::printf("%s=%.3f\n", name, value);
}

inline void print(const char *name, int value)
{
    std::printf("%s=%d\n", name, value);
}

} // namespace benchphonebook

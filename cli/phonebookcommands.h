#pragma once

#include <QStringList>

// dump, convert and info: phonebook files inspected and converted without a display.
class PhonebookCommands
{
public:
    static int dump(const QStringList &args);
    static int convert(const QStringList &args);
    static int info(const QStringList &args);
};

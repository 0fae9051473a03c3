#pragma once

#include <QString>

// A telephone number or extra entry of a remote contact together with its label.
struct LabeledValue
{
    QString value;
    QString label; // may be empty

    bool operator==(const LabeledValue &other) const
    {
        return value == other.value && label == other.label;
    }
    bool operator!=(const LabeledValue &other) const { return !(*this == other); }
};

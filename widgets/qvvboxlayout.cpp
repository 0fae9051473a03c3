#include "widgets/qvvboxlayout.h"

qvVBoxLayout::qvVBoxLayout(QWidget *parent) : QVBoxLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

#pragma once

#include <QVBoxLayout>

// A vertical layout without margins or spacing.
class qvVBoxLayout : public QVBoxLayout
{
    Q_OBJECT
public:
    explicit qvVBoxLayout(QWidget *parent = nullptr);
};

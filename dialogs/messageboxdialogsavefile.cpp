#include "dialogs/messageboxdialogsavefile.h"

#include "dialogs/filedialogstyle.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace {
QLabel *fieldLabel(QWidget *parent, const char *name, int y, const QString &text)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(24, y, 140, 22);
    label->setStyleSheet(FileDialogStyle::label());
    label->setText(text);
    return label;
}
} // namespace

MessageboxDialogSaveFile::MessageboxDialogSaveFile(QWidget *parent) : MessageboxDialogBase(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MessageboxDialogSaveFile"));
    QDialogButtonBox *box = FileDialogStyle::buildFrame(
        this, 490, 418, Langtranslater::mark(QStringLiteral("Save File")), 140, 350);

    fieldLabel(this, "labelFileName", 72, Langtranslater::mark(QStringLiteral("File Name:")));
    lineEditFileName = new QLineEdit(this);
    lineEditFileName->setObjectName(QStringLiteral("lineEditFileName"));
    lineEditFileName->setGeometry(24, 102, 442, 38);
    lineEditFileName->setStyleSheet(FileDialogStyle::lineEdit(QStringLiteral("#999999")));

    fieldLabel(this, "labelFileType", 154, Langtranslater::mark(QStringLiteral("File Type:")));
    comboBoxFileType = new QComboBox(this);
    comboBoxFileType->setObjectName(QStringLiteral("comboBoxFileType"));
    comboBoxFileType->setGeometry(24, 182, 442, 48);
    // A plain delegate, so the style sheet's item rules (height, selection) apply.
    comboBoxFileType->setItemDelegate(new QStyledItemDelegate(comboBoxFileType));
    comboBoxFileType->setStyleSheet(FileDialogStyle::comboBox(QStringLiteral("#999999"), 16));

    fieldLabel(this, "labelSaveLocation", 240, Langtranslater::mark(QStringLiteral("Path:")));
    lineEditBrowser = new QLineEdit(this);
    lineEditBrowser->setObjectName(QStringLiteral("lineEditBrowser"));
    lineEditBrowser->setGeometry(24, 270, 346, 38);
    lineEditBrowser->setStyleSheet(FileDialogStyle::lineEdit(QStringLiteral("#999999")));

    auto *browse = new QPushButton(this);
    browse->setObjectName(QStringLiteral("btnBrowser"));
    browse->setGeometry(386, 270, 80, 38);
    browse->setStyleSheet(FileDialogStyle::browseButton());
    browse->setText(Langtranslater::mark(QStringLiteral("Browse")));
    browse->setAutoDefault(false); // Return in a field means Save, not Browse

    connect(box, &QDialogButtonBox::clicked, this, &MessageboxDialogSaveFile::onButtonClicked);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QMetaObject::connectSlotsByName(this);
    initButtonBox(box);
    setButtonText(QDialogButtonBox::Ok, Langtranslater::mark(QStringLiteral("Save")));
}

void MessageboxDialogSaveFile::setFileName(const QString &name)
{
    lineEditFileName->setText(name);
}

void MessageboxDialogSaveFile::setFileTypes(const QStringList &types)
{
    comboBoxFileType->addItems(types);
}

void MessageboxDialogSaveFile::setSavePath(const QString &folder)
{
    savePath = folder;
    lineEditBrowser->setText(folder);
}

void MessageboxDialogSaveFile::onButtonClicked(QAbstractButton *pBtn)
{
    if (buttonBox->standardButton(pBtn) == QDialogButtonBox::Ok)
        emit sigSaveFile(lineEditFileName->text(), lineEditBrowser->text(),
                         comboBoxFileType->currentText());
}

void MessageboxDialogSaveFile::on_btnBrowser_clicked()
{
    QString start = lineEditBrowser->text();
    if (start.isEmpty())
        start = savePath;
    const QString chosen = QFileDialog::getExistingDirectory(
        this, Langtranslater::lookup(QStringLiteral("Select directory")), start,
        QFileDialog::ShowDirsOnly);
    if (!chosen.isEmpty())
        lineEditBrowser->setText(chosen);
}

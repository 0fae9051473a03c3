#include "dialogs/messagedialogimportfile.h"

#include "dialogs/filedialogstyle.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

MessageDialogImportFile::MessageDialogImportFile(QWidget *parent) : MessageboxDialogBase(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MessageDialogImportFile"));
    QDialogButtonBox *box = FileDialogStyle::buildFrame(
        this, 490, 220, Langtranslater::mark(QStringLiteral("Import file")), 221, 150);

    lineEditBrowser = new QLineEdit(this);
    lineEditBrowser->setObjectName(QStringLiteral("lineEditBrowser"));
    lineEditBrowser->setGeometry(24, 72, 314, 38);
    lineEditBrowser->setStyleSheet(FileDialogStyle::lineEdit(QStringLiteral("#278CF8")));
    // Placeholders are not painted through the translating style: give display text.
    lineEditBrowser->setPlaceholderText(
        Langtranslater::lookup(QStringLiteral("No selected file (.xml or .csv)")));

    auto *browse = new QPushButton(this);
    browse->setObjectName(QStringLiteral("btnBrowser"));
    browse->setGeometry(360, 72, 112, 38);
    browse->setStyleSheet(FileDialogStyle::browseButton());
    browse->setText(Langtranslater::mark(QStringLiteral("Browse")));
    browse->setAutoDefault(false); // Return in the path field means OK, not Browse

    connect(box, &QDialogButtonBox::clicked, this, &MessageDialogImportFile::onButtonClicked);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QMetaObject::connectSlotsByName(this);
    initButtonBox(box);
}

void MessageDialogImportFile::onButtonClicked(QAbstractButton *pBtn)
{
    if (buttonBox->standardButton(pBtn) == QDialogButtonBox::Ok)
        emit sigMessageboxInput(lineEditBrowser->text());
}

void MessageDialogImportFile::on_btnBrowser_clicked()
{
    QString start = lineEditBrowser->text();
    if (start.isEmpty())
        start = browseFolder;
    if (start.isEmpty())
        start = QDir::current().absolutePath() + QStringLiteral("/target");
    const QString chosen = QFileDialog::getOpenFileName(
        this, Langtranslater::lookup(QStringLiteral("Import file")), start, phonebookFilter());
    if (chosen.isEmpty())
        return;
    lineEditBrowser->setText(chosen);
    emit sigBrowseFolderChosen(QFileInfo(chosen).absolutePath());
}

#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QComboBox;
class QLabel;
class QPushButton;

// The settings window behind the title bar's "Settings" button: the interface language (applied,
// stored and announced at once), the version, the copyright and a link to the quick guide that
// ships with the program. Created once by the main window, then only shown and hidden.
class SettingDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingDialog(QWidget *parent = nullptr);

    // Dims the main window and shows the dialog; does not block.
    void showDialog();

    // The quick guide the support button opens: app/help/QuickGuide.html under the working
    // directory, where the language files and the settings live too.
    static QUrl supportPageUrl();

public slots:
    // Escape and any other rejection close like the close button, lifting the dim.
    void reject() override;

signals:
    // The display name of the language just chosen.
    void sigLanguageChanged(const QString &strLanguage);

private slots:
    void on_btnClose_clicked();
    void on_comboBox_currentTextChanged(const QString &arg1);
    void on_pushButton_clicked();

private:
    void setupForm();
    void fillLanguages();
    void setTexts();

    QLabel *labelBackground = nullptr; // owned via Qt parent
    QComboBox *comboBox = nullptr;     // owned via Qt parent
    QLabel *labelSupport = nullptr;    // owned via Qt parent
    QLabel *labelVersion = nullptr;    // owned via Qt parent
    QString versionText;
};

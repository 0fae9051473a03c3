#include "http/panel/httpserverurlfiledialog.h"

#include "data/remotephonebookwriter.h"
#include "dialogs/cmessagedialoglistmanager.h"
#include "dialogs/messageboxdialogbase.h"
#include "http/httpserver.h"
#include "http/panel/uiurlfileitemdata.h"
#include "http/panel/urlfileitemdelegate.h"
#include "shell/langtranslater.h"
#include "widgets/qvlistdatamodel.h"
#include "widgets/qvlistwidget.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace {
// A text the style translates as a whole when it paints it.
QString wholeMarker(const char *key)
{
    return QStringLiteral("`?") + QString::fromLatin1(key);
}
} // namespace

HttpServerUrlFileDialog::HttpServerUrlFileDialog(QWidget *parent) : QDialog(parent)
{
    uiUrlFileItemData::registerMetaType();
    setupForm();
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowModality(Qt::WindowModal);
    MessageboxDialogBase::addShadow(labelBackground);

    model = new qvListDataModel(this);
    delegate = new UrlFileItemDelegate(this);
    listWidget->SetDelegate(delegate);
    listWidget->SetModel(model);
    QMetaObject::connectSlotsByName(this);
}

void HttpServerUrlFileDialog::setupForm()
{
    setObjectName(QStringLiteral("HttpServerUrlFileDialog"));
    setFixedSize(530, 430);

    labelBackground = new QLabel(this);
    labelBackground->setObjectName(QStringLiteral("labelBackground"));
    labelBackground->setGeometry(5, 5, 520, 420);

    labelTitle = new QLabel(this);
    labelTitle->setObjectName(QStringLiteral("labelTitle"));
    labelTitle->setGeometry(24, 16, 401, 28);
    labelTitle->setText(wholeMarker("Http-Server File List"));

    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(480, 10, 32, 32);
    btnClose->setFocusPolicy(Qt::NoFocus);
    btnClose->setToolTip(Langtranslater::lookup(QStringLiteral("Close")));
    btnClose->setAccessibleName(Langtranslater::lookup(QStringLiteral("Close")));

    listWidget = new qvListWidget(this, QStringLiteral("qvListWidget"), true);
    listWidget->setGeometry(8, 65, 514, 350);
    listWidget->setFocusPolicy(Qt::NoFocus);

    labelNoFile = new QLabel(this);
    labelNoFile->setObjectName(QStringLiteral("labelNoFile"));
    labelNoFile->setGeometry(165, 150, 200, 22);
    labelNoFile->setAlignment(Qt::AlignCenter);
    labelNoFile->setText(wholeMarker("No File"));
    labelNoFile->raise();
    labelNoFile->hide();
}

void HttpServerUrlFileDialog::RefreshFileList()
{
    if (!model)
        return;
    emit CMessageDialogListManager::instance()->sigShowMessagebox(true);

    const QDir target(QDir::current().absoluteFilePath(QStringLiteral("target")));
    const QStringList names =
        target.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Readable, QDir::Name);
    labelNoFile->setVisible(names.isEmpty());

    HttpServer *server = HttpServer::instance();
    const QString base = QStringLiteral("http://") + server->localIp() + QLatin1Char(':') +
                         QString::number(server->port()) + QLatin1Char('/');
    model->BeginResetModel();
    model->Clear();
    for (const QString &name : names)
        model->AppendRow(QVariant::fromValue(
            uiUrlFileItemData{base + RemotePhonebookWriter::urlEncodedFileName(name)}));
    model->EndResetModel();
}

QStringList HttpServerUrlFileDialog::urls() const
{
    QStringList result;
    if (!model)
        return result;
    for (int row = 0; row < model->GetCount(); ++row)
        result.append(model->GetData(row).value<uiUrlFileItemData>().strUrl);
    return result;
}

void HttpServerUrlFileDialog::reject()
{
    on_btnClose_clicked();
}

void HttpServerUrlFileDialog::on_btnClose_clicked()
{
    hide();
    emit CMessageDialogListManager::instance()->sigShowMessagebox(false);
}

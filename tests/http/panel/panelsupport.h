#pragma once

#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "http/httpserver.h"

#include <QLabel>
#include <QTcpServer>

#include <memory>

// One working folder for a whole test executable (the server is one object per process and may
// keep the folder it was created in); each case empties target/, switches the server off on a
// free port and gets a fresh shown window holding the toast.
struct PanelFixture
{
    FreshState state;
    std::unique_ptr<QWidget> window;

    void beginCase()
    {
        QDir(state.filePath(QStringLiteral("target"))).removeRecursively();
        HttpServer::instance()->setOpen(false);
        HttpServer::instance()->setPort(freePort());
        window = std::make_unique<QWidget>();
        window->setFixedSize(1280, 720);
        TipWidget::create(window.get());
        window->show(); // a toast shows only over a shown window
    }
    void endCase()
    {
        HttpServer::instance()->setOpen(false);
        window.reset();
    }

    static int freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::AnyIPv4, 0);
        return probe.serverPort();
    }
    // The shown toast's text and icon kind; an empty text when no toast is shown.
    static QString toast()
    {
        TipWidget *tip = TipWidget::current();
        if (!tip || !tip->isVisible())
            return QString();
        return tip->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel"))->text() +
               QLatin1Char('/') +
               tip->findChild<QLabel *>(QStringLiteral("mainwidowTipIcon"))
                   ->property("icontype")
                   .toString();
    }
};

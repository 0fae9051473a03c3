#pragma once

#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "http/httpserver.h"

#include <QDir>
#include <QLabel>
#include <QTcpServer>
#include <QWidget>

#include <memory>

// One working folder for the whole test executable: the server is one object per process and may
// take its folder when it is first used, so every case of a run shares the folder and empties its
// target folder instead. Each case gets a fresh window that holds the toast.
class PanelFixture
{
public:
    PanelFixture() : state(std::make_unique<FreshState>()) {}

    void beginCase()
    {
        QDir(QDir::current().absoluteFilePath(QStringLiteral("target"))).removeRecursively();
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

    // A port nothing listens on at the moment.
    static int freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::AnyIPv4, 0);
        return probe.serverPort();
    }

    // The toast's text while it is shown; empty when it is hidden.
    static QString toastText()
    {
        TipWidget *tip = TipWidget::current();
        if (!tip || !tip->isVisible())
            return QString();
        return tip->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel"))->text();
    }
    // "warn", "success" or "fail".
    static QString toastKind()
    {
        TipWidget *tip = TipWidget::current();
        return tip ? tip->findChild<QLabel *>(QStringLiteral("mainwidowTipIcon"))
                         ->property("icontype")
                         .toString()
                   : QString();
    }

    std::unique_ptr<FreshState> state;
    std::unique_ptr<QWidget> window;
};

#include "app/script_watch.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "script/lua_engine.h"

bool AskToStopScript(QWidget* parent) {
    QMessageBox box(QMessageBox::Warning, "Vantorix Player", "A script of this menu is not responding",
                    QMessageBox::NoButton, parent);
    QPushButton* stop = box.addButton("Stop", QMessageBox::AcceptRole);
    box.addButton("Wait", QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == stop;
}

void WatchScriptsAtTheScreen(CLUAEngine& engine, std::function<QWidget*()> parent) {
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, qApp,
                     [&engine] { engine.NoteEventLoopTurn(); });
    engine.onUnresponsive = [parent = std::move(parent)] { return AskToStopScript(parent()); };
}

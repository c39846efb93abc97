// Qt_Messages.cpp - see Qt_Messages.h.
#include "kornd/Qt_Messages.h"

#include <QtGlobal>

namespace {

QtMessageHandler qt_default = nullptr;

void handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
  if (qt_default) qt_default(type, context, message);
}

}  // namespace

void QUIET_QT_MESSAGES() { qt_default = qInstallMessageHandler(handler); }

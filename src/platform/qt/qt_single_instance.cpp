// The lock file and the local socket of the one running program.
#include "platform/qt/qt_single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace roarmark::platform::qt {

namespace {

constexpr char kRaise[] = "raise\n";

// Per user and per lock file: two users, or two data folders, never share a socket.
QString ServerName(const QString& lock_path) {
  const QByteArray hash =
      QCryptographicHash::hash(lock_path.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
  return QStringLiteral("roarmark-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

}  // namespace

TQtSingleInstance::TQtSingleInstance(const QString& lock_path)
    : lock_path_(lock_path), server_name_(ServerName(lock_path)), lock_(lock_path) {
  // A lock left by a program that died is taken over at once (QLockFile checks its process).
  lock_.setStaleLockTime(0);
}

TQtSingleInstance::~TQtSingleInstance() {
  server_.reset();
  if (lock_.isLocked()) lock_.unlock();
}

bool TQtSingleInstance::Claim(std::function<void()> raise) {
  QDir().mkpath(QFileInfo(lock_path_).absolutePath());
  if (!lock_.tryLock(0)) {
    QLocalSocket socket;
    socket.connectToServer(server_name_);
    if (socket.waitForConnected(2000)) {
      socket.write(kRaise);
      socket.waitForBytesWritten(2000);
      socket.disconnectFromServer();
    }
    return false;
  }
  server_ = std::make_unique<QLocalServer>();
  // A socket file left by a program that died would refuse the name.
  QLocalServer::removeServer(server_name_);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(server_name_)) return true;
  QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this, raise] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      const auto read = [socket, raise] {
        if (socket->readAll().contains("raise")) raise();
      };
      QObject::connect(socket, &QLocalSocket::readyRead, socket, read);
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      // What came with the connection is read now: it would raise no further signal.
      if (socket->bytesAvailable() > 0) read();
    }
  });
  return true;
}

}  // namespace roarmark::platform::qt

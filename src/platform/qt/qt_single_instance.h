// One program per data folder: a lock file says one is running, and a local socket lets a second
// start ask it to come to the front.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace roarmark::platform::qt {

class TQtSingleInstance {
 public:
  // `lock_path`: the lock file; its folder is made when missing.
  explicit TQtSingleInstance(const QString& lock_path);
  ~TQtSingleInstance();

  // True when this start holds the lock; `raise` then runs on the GUI thread whenever a later
  // start asks. False when another program holds it: that one has been asked to come forward.
  bool Claim(std::function<void()> raise);

 private:
  QString lock_path_;
  QString server_name_;
  QLockFile lock_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace roarmark::platform::qt

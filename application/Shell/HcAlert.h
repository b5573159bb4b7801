#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Alerts of the player: a message, optional informative text and buttons,
// run modally over a window (QMessageBox). The presenter can be replaced, so
// that tests see what would be shown without a modal loop blocking them.
class HcAlert {
 public:
  struct Request {
    QWidget* parent = nullptr;
    QString title;
    QString message;
    QString informativeText;
    QStringList buttons;  // first is the default; empty gives "OK"
  };
  // Answers the index of the button chosen.
  using Presenter = std::function<int(const Request&)>;

  static int Run(const Request& request);
  // Null restores the modal message box.
  static void SetPresenter(Presenter presenter);
};

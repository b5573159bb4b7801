#include "HcAlert.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

HcAlert::Presenter& CurrentPresenter() {
  static HcAlert::Presenter presenter;
  return presenter;
}

int RunMessageBox(const HcAlert::Request& request) {
  QMessageBox box(request.parent);
  box.setIcon(QMessageBox::Warning);
  box.setWindowTitle(request.title.isEmpty() ? QCoreApplication::applicationName() : request.title);
  box.setText(request.message);
  if (!request.informativeText.isEmpty()) box.setInformativeText(request.informativeText);
  const QStringList buttons = request.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : request.buttons;
  QList<QAbstractButton*> made;
  for (const QString& title : buttons) made.append(box.addButton(title, QMessageBox::AcceptRole));
  box.setDefaultButton(qobject_cast<QPushButton*>(made.front()));
  box.exec();
  const int chosen = static_cast<int>(made.indexOf(box.clickedButton()));
  return chosen < 0 ? 0 : chosen;
}

}  // namespace

int HcAlert::Run(const Request& request) {
  if (const Presenter& presenter = CurrentPresenter()) return presenter(request);
  return RunMessageBox(request);
}

void HcAlert::SetPresenter(Presenter presenter) { CurrentPresenter() = std::move(presenter); }

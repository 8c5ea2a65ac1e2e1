#include "MidiOutputMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <memory>

#include "MidiOutputChoices.h"
#include "MidiOutputSetting.h"

QMenu* MidiOutputMenu::Build(MidiService& service, QWidget* parent) {
  auto* menu = new QMenu(parent);
  QMenu* outputs = menu->addMenu(QString::fromLatin1(kTitle));
  auto* group = new QActionGroup(outputs);
  const MidiOutputChoices choices = ListMidiOutputs(service);
  for (int index = 0; index < static_cast<int>(choices.names.size()); ++index) {
    QAction* action = outputs->addAction(QString::fromStdString(choices.names[static_cast<std::size_t>(index)]));
    action->setCheckable(true);
    action->setChecked(index == choices.checked);
    action->setData(index);
    group->addAction(action);
  }
  return menu;
}

bool MidiOutputMenu::Choose(MidiService& service, int index) {
  // The list is taken again: a port may have come or gone while the menu was open.
  const MidiOutputChoices choices = ListMidiOutputs(service);
  if (index < 0 || index >= static_cast<int>(choices.names.size()) || index == choices.checked) return false;
  SaveMidiOutput(ChooseMidiOutput(service, choices, index));
  return true;
}

bool MidiOutputMenu::Run(MidiService& service, QWidget* parent, QPoint globalPosition) {
  const std::unique_ptr<QMenu> menu(Build(service, parent));
  const QAction* chosen = menu->exec(globalPosition);
  return chosen != nullptr && chosen->data().isValid() && Choose(service, chosen->data().toInt());
}

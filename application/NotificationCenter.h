#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/Object.h"
#include "platform/runtime/Selector.h"

// Named notifications delivered at once, on the posting thread, to every
// observer registered for the name: the observer is sent its selector with
// the notification (see Notification). Observers are not retained; they are
// forgotten when removed or, for objects the run time counts, when they die.
class NotificationCenter {
 public:
  static NotificationCenter& DefaultCenter();

  // `sender` null observes every sender.
  void AddObserver(hc::runtime::Id observer, hc::runtime::Selector selector, std::string name,
                   hc::runtime::Id sender);
  void RemoveObserver(hc::runtime::Id observer);
  // Observers registered while a notification is delivered hear the next one.
  void Post(std::string_view name, hc::runtime::Id object);

 private:
  struct Observation {
    hc::runtime::Id observer;
    hc::runtime::Selector selector;
    std::string name;
    hc::runtime::Id sender;
  };

  std::mutex m_lock;
  std::vector<Observation> m_observations;
};

#include "Source/VisualContextDisposal.h"

#include <mutex>
#include <utility>
#include <vector>

#include "platform/gl/GlContext.h"
#include "platform/playback/VisualContext.h"

namespace {

struct Retired {
  std::unique_ptr<hc::playback::VisualContext> context;
  hc::gl::GlContext* glContext;
};

std::mutex& RetiredMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<Retired>& RetiredList() {
  static auto* list = new std::vector<Retired>();
  return *list;
}

}  // namespace

std::shared_ptr<hc::playback::VisualContext> VisualContextDisposal::Share(
    std::unique_ptr<hc::playback::VisualContext> context, hc::gl::GlContext* glContext) {
  hc::playback::VisualContext* raw = context.release();
  return std::shared_ptr<hc::playback::VisualContext>(raw, [glContext](hc::playback::VisualContext* dying) {
    Retire(std::unique_ptr<hc::playback::VisualContext>(dying), glContext);
  });
}

void VisualContextDisposal::Retire(std::unique_ptr<hc::playback::VisualContext> context,
                                   hc::gl::GlContext* glContext) {
  if (!context) return;
  if (glContext == nullptr || hc::gl::GlContext::Current() == glContext) {
    context.reset();
    return;
  }
  context->SetImageAvailableCallback(nullptr);
  context->SetMovie(nullptr);
  std::lock_guard lock(RetiredMutex());
  RetiredList().push_back({std::move(context), glContext});
}

void VisualContextDisposal::DisposeRetired() {
  hc::gl::GlContext* current = hc::gl::GlContext::Current();
  if (!current) return;
  std::vector<Retired> disposing;
  {
    std::lock_guard lock(RetiredMutex());
    auto& list = RetiredList();
    for (auto it = list.begin(); it != list.end();) {
      if (it->glContext == current) {
        disposing.push_back(std::move(*it));
        it = list.erase(it);
      } else {
        ++it;
      }
    }
  }
  disposing.clear();
}

size_t VisualContextDisposal::PendingCount() {
  std::lock_guard lock(RetiredMutex());
  return RetiredList().size();
}

#include "kit/page/pageregistry.h"

#include <algorithm>

#include "kit/remind/reminder.h"

namespace vorn::ui {

bool PageEntry::serves(int id) const {
    return std::find(commands.begin(), commands.end(), id) != commands.end();
}

void PageRegistry::addPage(PageEntry entry) {
    for (auto& p : pages_) {
        if (p.tab == entry.tab) {
            p = std::move(entry);
            return;
        }
    }
    pages_.push_back(std::move(entry));
}

void PageRegistry::addReminder(std::function<std::unique_ptr<ReminderSource>()> factory) {
    reminders_.push_back(std::move(factory));
}

const PageEntry* PageRegistry::forTab(const QString& tab) const {
    for (const auto& p : pages_)
        if (p.tab == tab) return &p;
    return nullptr;
}

} // namespace vorn::ui

// Every page of the program, registered in one place.
#pragma once

namespace vorn::ui {

class PageRegistry;

// Adds the pages and reminders of every subsystem and the program's own pages
// (web tabs, about).
void registerAllPages(PageRegistry& registry);

} // namespace vorn::ui

// Where a pane wants a page opened: in the tab in front or in a new tab.
#pragma once

enum class PageTarget { ActiveTab, NewTab };

#pragma once
// Drives the plugin's settings dialog the way a user would, once it is open: sets sliders,
// types into spin boxes, then closes it by a button, Escape, the window's close, or by the
// application quitting. The widgets are found by their object names.

#include <functional>
#include <string>
#include <vector>

// Runs `openDialog` (the plugin's configure) with the actions played on the modal dialog it
// opens; prints what the dialog showed and how it closed. Throws ScenarioError on a bad action.
void configureWithActions(const std::vector<std::string>& actions,
                          const std::function<void()>& openDialog);

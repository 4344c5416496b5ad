#pragma once

// Runs the modal settings dialog; when it closes, its values become the live percentages
// and are saved to the settings file.
void runConfigureDialog();

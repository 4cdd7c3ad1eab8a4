// Reading the settings file into the application object, and starting the separate settings editor.
#pragma once

class AppState;

// Reads every setting into the application object and applies HideTrayIcon to its tray icon.
void LoadSettings(AppState* state);
// Re-reads HideTrayIcon and shows or hides the tray icon accordingly.
void ApplyHideTrayIcon(AppState* state);
// Starts RollixConfig.exe from the program's folder, owned by the main window.
void OpenSettingsEditor();

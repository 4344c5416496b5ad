#pragma once
// Who the plugin is. The exports, the installer package and the README's table all take
// these texts from here.

constexpr const char* pluginName = "Duckvolt";
constexpr const char* pluginVersion = "1.0";
constexpr int pluginApiVersion = 11;
constexpr const char* pluginAuthor = "R.Plovrik";
constexpr const char* pluginDescription =
    "This Plugin controls the volume of winamp when somebody is speaking.";

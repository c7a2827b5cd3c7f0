// The interface as JSON, for tests and bug reports (`vantor --dump-layout`):
// the sizes, the pictures and sounds with whether their files are there,
// and every menu in creation order with its state and its items.
#pragma once

#include <string>

class QorGUI;

std::string LayoutJson(QorGUI& gui, const std::string& data_dir);

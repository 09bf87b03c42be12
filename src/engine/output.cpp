#include "engine/output.h"

void Output::printLine(const std::string& text) {
    out_ << text << '\n';
    if (!held_) out_.flush();
}

void Output::release() {
    held_ = false;
    out_.flush();
}

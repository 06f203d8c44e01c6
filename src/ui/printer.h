#pragma once
// The printer as the window reaches it: one plain text, one document. The
// program prints on the system's default printer; a test prints into a file.

class QString;

namespace tallix::ui {

enum class PrintResult { Printed, NoPrinter, Failed };

class Printer {
public:
    virtual ~Printer() = default;
    // Prints the text in the default font, each line break starting a new
    // line, and ends the document so that the job goes out.
    virtual PrintResult print(const QString& text) = 0;
};

} // namespace tallix::ui

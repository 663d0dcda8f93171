#ifndef WINDOWHOST_H
#define WINDOWHOST_H

enum class InterfaceLanguage;
class MainWindow;

namespace Names {
struct NamePools;
}

// What the main windows of one running program share, kept by start-up:
// the name pools, the interface language chosen for the next start, and the
// windows themselves. A window is handed its host when it is made.
class WindowHost
{
public:
    // The name pools that batch generation draws from.
    virtual const Names::NamePools &namePools() const = 0;

    // The language the next start will use: the one chosen in the menu or,
    // without a choice, the one in use.
    virtual InterfaceLanguage nextLanguage() const = 0;
    // Keeps language for the next start; false when it could not be kept.
    virtual bool keepNextLanguage(InterfaceLanguage language) = 0;

    // Opens another window, with no file, deleted when it closes.
    virtual void openNewWindow() = 0;
    // Closes every window, first first and then the others in the order they
    // were opened, each asking about its own unsaved changes; a window that
    // stays open stops the quit, and those not yet asked stay open too.
    virtual void quitAll(MainWindow *first) = 0;

protected:
    ~WindowHost() = default;
};

#endif // WINDOWHOST_H

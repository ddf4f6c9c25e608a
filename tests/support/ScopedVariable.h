#pragma once

#include <cstdlib>
#include <string>

namespace test {

// While it lives, the environment variable has the value given (none for a
// null one); it comes back as it was.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* was = std::getenv(name))
            was_ = was;
        else
            unset_ = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable()
    {
        if (unset_)
            unsetenv(name_.c_str());
        else
            setenv(name_.c_str(), was_.c_str(), 1);
    }

private:
    std::string name_, was_;
    bool unset_ = false;
};

} // namespace test

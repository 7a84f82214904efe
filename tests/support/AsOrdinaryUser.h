#pragma once
// Tests run as root, which writes and reads anywhere. For the length of one
// of these the process acts as an ordinary user (nobody), for whom a
// read-only folder or file really is one.

#include <gtest/gtest.h>
#include <unistd.h>

namespace kestrune::test {

class AsOrdinaryUser {
public:
    AsOrdinaryUser() : switched_(::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~AsOrdinaryUser()
    {
        if (switched_ && ::seteuid(0) != 0)
            ADD_FAILURE() << "could not become root again";
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    bool switched_;
};

} // namespace kestrune::test

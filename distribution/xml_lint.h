#pragma once
// For the tests of XML documents: xmllint (package libxml2-utils) checks that a document
// is well-formed UTF-8 XML.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace aerova::testing {

inline bool XmllintAvailable() {
    return std::system("xmllint --version >/dev/null 2>&1") == 0;
}

// Success when `xmllint --noout` accepts the document; otherwise its complaint.
inline ::testing::AssertionResult WellFormedXml(const std::string& document) {
    char path[] = "/tmp/aerova-xml-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0) return ::testing::AssertionFailure() << "no temporary file";
    const bool written =
        ::write(fd, document.data(), document.size()) == static_cast<ssize_t>(document.size());
    ::close(fd);
    std::string output;
    int status = -1;
    if (written) {
        const std::string command = std::string("xmllint --noout ") + path + " 2>&1";
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buf[512];
            std::size_t n = 0;
            while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
            status = ::pclose(pipe);
        }
    }
    ::unlink(path);
    if (written && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "xmllint: " << output << "\n" << document;
}

}  // namespace aerova::testing

#pragma once
#include "LangFileApi.h"
#include <string>
#include <vector>

// The languages the host offers: one language file "<code>.xml" per language in one folder,
// the folder that the environment variable DAXO_LANG_DIR names, or else the folder "lang"
// beside the host's executable. A language's id is its position (from 1) in the folder's
// listing sorted by code; 0 stands for no language. Scan() reads the folder again; it is the
// only place that lists the folder.
class LANGFILE_API CLanguageFolder {
public:
    static std::string Folder();

    void Scan();
    unsigned int Count() const { return static_cast<unsigned int>(m_codes.size()); }
    const char* Code(unsigned int id) const;     // "cs"; null for an unknown id
    const char* FilePath(unsigned int id) const; // full path; null for an unknown id
    unsigned int Find(const char* code) const;   // id of the code (case ignored), 0 when absent

private:
    std::string m_folder;
    std::vector<std::string> m_codes;
    std::vector<std::string> m_paths;
};

// Key/value text files such as "config.ini": one "key = value" per line,
// '#' starts a comment. Values are text in memory and converted strictly on
// reading; a missing key or a malformed value throws a ConfigError that
// carries one message text.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

class ConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ConfigParser {
public:
    ConfigParser() = default;
    ConfigParser(const ConfigParser&) = default;
    ConfigParser& operator=(const ConfigParser&) = default;
    virtual ~ConfigParser() = default;
    virtual void clear();
    virtual void load(const std::string& file);
    virtual std::string getString(const std::string& key);
    virtual int getInt(const std::string& key);
    virtual double getFloat(const std::string& key);
    virtual bool getBool(const std::string& key);
    virtual void set(const std::string& key, const std::string& value);
    virtual void setInt(const std::string& key, int value);
    virtual void setFloat(const std::string& key, float value);
    virtual void setBool(const std::string& key, bool value);
    virtual void save(const std::string& file);
    virtual bool isUpToDate();
    virtual void reload();
    virtual void dump();

    bool hasKey(const std::string& key) const;
    int keyCount() const { return keyCount_; }
    const std::vector<std::string>& keyOrder() const { return keyOrder_; }
    // The path given to the last load; save("") writes there.
    const std::string& fileName() const { return fileName_; }

private:
    void checkKey(const std::string& key) const;

    int keyCount_ = 0;
    std::vector<std::string> keyOrder_;
    std::map<std::string, std::string> values_;
    std::string fileName_;
    int64_t loadedAccessTime_ = 0;
};

// The files the benchmarks read: whether one is there, and its bytes.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

inline bool Exists(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return static_cast<bool>(in);
}

// The whole file; empty when it cannot be read.
inline std::string Slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

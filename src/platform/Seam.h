#pragma once

namespace platform {

// A platform interface whose implementation tests can replace for a while: Current() is the
// replacement when there is one, else the one `Real` object of the process.
template <class Interface>
class Seam {
 public:
  template <class Real>
  static Interface& Current() {
    if (Replacement() != nullptr) {
      return *Replacement();
    }
    static Real real;
    return real;
  }

  // Puts `replacement` in place for the object's lifetime.
  class Scope {
   public:
    explicit Scope(Interface& replacement) : previous_(Replacement()) {
      Replacement() = &replacement;
    }
    ~Scope() { Replacement() = previous_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    Interface* previous_;
  };

 private:
  static Interface*& Replacement() {
    static Interface* replacement = nullptr;
    return replacement;
  }
};

}  // namespace platform

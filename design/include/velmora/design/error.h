// The one error type of the libraries: a code for programs and tests, and
// a message in Chinese for people. Each library throws its own kind of it;
// the windows and the command line turn it into a message box or a message
// and an exit status, once, at their edge.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

enum class ErrorCode {
  // Files
  FileFailed,       // a file could not be read or written; the errno says why
  InputFileFailed,  // an input data file that cannot be read as one
  PriceFile,        // a price file that cannot be used
  // Text typed where a value is wanted
  NotANumber,    // not a number where one is needed
  BadForm,       // an option or a value written in the wrong form
  UnknownInput,  // no input of that name
  // What may be varied
  TextInput,       // the model name, which is text
  NotAFreedom,     // an input that is no design freedom (the optimiser)
  InputTwice,      // one input varied twice
  StepBackwards,   // a step of 0 or pointing away from the end
  StepTooSmall,    // a step too small to change the value
  TooMany,         // more variants, values or points than allowed
  NoValue,         // nothing to take: no values, none in range, none buildable
  BoundsReversed,  // bounds that are not finite or from above to below
  SelectorValue,   // a selector value the calculation refuses
  NoVariables,     // nothing to vary
  LimitRefused,    // an upper limit on another quantity, twice, or not finite
  ResultsChosen,   // none, or too many, results to show
  Busy,            // a study still running when another is asked for
  // Sizing a new motor
  OutsideTables,  // a rating or a target the sizing tables do not hold
};

class Error : public std::runtime_error {
 public:
  Error(ErrorCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
  ErrorCode code() const { return code_; }

 private:
  ErrorCode code_;
};

}  // namespace velmora

// The message table of the model result codes.
#include "model/error_codes.h"

std::string ErrorText(ErrorCode code) {
  switch (code) {
    case 1: return "Unknown Error";
    case 2: return "File Not Valid";
    case 3: return "File Not Found";
    case 5: return "File To small";
    case 6: return "Invalid Path";
    case 7: return "Can't Open File";
    case 8: return "File Handel failed due to permissions, please run program as admin";
    case 9: return "Invalid Version";
    case 12: return "'xmodelsurfs' folder not Found";
    case 13: return "Sufaces Not Setup, xmodel failed to load";
    case 16: return "Invalid Array Index (out of range)";
    case 19: return "Tags Not Loaded";
    case 22: return "File Not Loaded";
    default: return "Error No: " + std::to_string(code);
  }
}

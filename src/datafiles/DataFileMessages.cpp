#include "DataFileMessages.h"

namespace orrelin::messages {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string fileIsEmpty(const std::string& file) { return "The file " + quoted(file) + " is empty."; }

std::string couldNotOpenFile(const std::string& file) { return "Could not open the file " + quoted(file) + "."; }

std::string invalidFormat(const std::string& file) { return "The file " + quoted(file) + " has an invalid format."; }

std::string incorrectFormat(const std::string& fileName) {
  return "The file " + quoted(fileName) + " has incorrect format";
}

std::string formatNotSupportedYet(const std::string& file, const std::string& ending) {
  return "The file " + quoted(file) + " is a \"." + ending + "\" data file, which can not be read yet.";
}

std::string couldNotReopen(const std::string& path) { return "Could not open the file " + path; }

std::string couldNotCreate(const std::string& file) { return "Could not create the file " + quoted(file); }

std::string missingDirectory(const std::string& file, const std::string& missing, const std::string& parent) {
  return "Wanted to create the file " + quoted(file) +
         ", but could not. The first directory in the file path that doesn't exist is " + quoted(missing) +
         " in the " + quoted(parent) + " directory.";
}

std::string cannotCreateInside(const std::string& file, const std::string& directory) {
  return "Could not create the file " + quoted(file) +
         ". but could not. Make sure that you can create a file inside the directory " + quoted(directory) + ".";
}

std::string componentIsAFile(const std::string& file, const std::string& component) {
  return "Could not create the file " + quoted(file) + ". The problem is that " + quoted(component) +
         " is a file and not a directory.";
}

std::string directoryInTheWay(const std::string& file) {
  return "Wanted to create the file " + quoted(file) +
         ", but there is a directory with the same name in that place.";
}

std::string cannotEmpty(const std::string& file) {
  return "Wanted to empty the file " + quoted(file) +
         ", but could not. Make sure you own that file and can overwrite it.";
}

std::string formatErrorInEntry(const std::string& fileName, long long entryNumber) {
  return "The file " + quoted(fileName) + " has a format error in entry number " + std::to_string(entryNumber) + ".";
}

std::string nameFieldLength(std::int32_t nameLength) {
  return " Namefield had length " + std::to_string(nameLength) + ".";
}

std::string entryLengthDoesNotFit(long long entryLength) {
  return " Its length " + std::to_string(entryLength) + " is shorter than its name and data.";
}

std::string incorrectType() { return "Ran into problems reading the file (Incorrect type)."; }

std::string failedReading(const std::string& variable, const std::string& file) {
  return "Failed at reading " + quoted(variable) + " from file " + quoted(file);
}

std::string invalidUnitSize() { return "Invalid unit size"; }

std::string unknownVariableType() { return "DEBUG: Unknown variable type inside a datafile."; }

std::string emptyNumber() { return "Trying to extract a number from an empty variable."; }

std::string entryAlreadyExists() { return "Entry already exists, can't overwrite it."; }

std::string emptyVariableName() { return "Trying to write a variable with an empty name."; }

std::string nameTooLong(const std::string& variable) {
  return "The variable name " + quoted(variable) + " is too long; a name can have at most 254 bytes.";
}

std::string couldNotWrite(const std::string& variable, const std::string& file) {
  return "Could not write " + quoted(variable) + " to the file " + quoted(file) + ".";
}

std::string incompleteTail(const std::string& file) {
  return "Can not add to the file " + quoted(file) +
         ": it ends in an incomplete entry, and a new one after it could never be read.";
}

std::string cannotRemoveVariables() {
  return "Variables can not be removed from a binary data file. Copy the ones to keep into a new file instead.";
}

std::string fileIsReadOnly(const std::string& file) {
  return "The file " + quoted(file) + " can only be read, not written.";
}

std::string containsNilName() { return "KRDataFile contains:name : name==nil."; }

std::string unexpectedStructureType() { return "Internal error: Unexpected data file type in createFromStructure"; }

std::string structureTypeNotSupportedYet(const std::string& type) {
  return "Data files of the type " + quoted(type) + " can not be read yet.";
}

}  // namespace orrelin::messages

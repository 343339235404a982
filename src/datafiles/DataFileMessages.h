#pragma once
// Every text the data files show the user, in one place.

#include <cstdint>
#include <string>

namespace orrelin::messages {

// Opening.
std::string fileIsEmpty(const std::string& file);
std::string couldNotOpenFile(const std::string& file);
std::string invalidFormat(const std::string& file);
std::string incorrectFormat(const std::string& fileName);
std::string formatNotSupportedYet(const std::string& file, const std::string& ending);
std::string couldNotReopen(const std::string& path);

// Creating.
std::string couldNotCreate(const std::string& file);
std::string missingDirectory(const std::string& file, const std::string& missing, const std::string& parent);
std::string cannotCreateInside(const std::string& file, const std::string& directory);
std::string componentIsAFile(const std::string& file, const std::string& component);
std::string directoryInTheWay(const std::string& file);
std::string cannotEmpty(const std::string& file);

// Scanning.
std::string formatErrorInEntry(const std::string& fileName, long long entryNumber);
std::string nameFieldLength(std::int32_t nameLength);
std::string entryLengthDoesNotFit(long long entryLength);
std::string incorrectType();

// Reading.
std::string failedReading(const std::string& variable, const std::string& file);
std::string invalidUnitSize();
std::string unknownVariableType();
std::string emptyNumber();

// Writing.
std::string entryAlreadyExists();
std::string emptyVariableName();
std::string nameTooLong(const std::string& variable);
std::string couldNotWrite(const std::string& variable, const std::string& file);
std::string incompleteTail(const std::string& file);
std::string cannotRemoveVariables();
std::string fileIsReadOnly(const std::string& file);

// Queries and structures.
std::string containsNilName();
std::string unexpectedStructureType();
std::string structureTypeNotSupportedYet(const std::string& type);

}  // namespace orrelin::messages

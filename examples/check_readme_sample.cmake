# Fails unless README.md holds readme_sample.cpp, from its first #include
# line to its end, word for word.
file(READ ${SAMPLE} sample)
string(FIND "${sample}" "#include" start)
string(SUBSTRING "${sample}" ${start} -1 sample)
file(READ ${README} readme)
string(FIND "${readme}" "${sample}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "README.md does not hold examples/readme_sample.cpp as it is now; copy it in again")
endif()

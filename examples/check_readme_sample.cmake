# Fails unless README.md holds the sample (a readme_*.cpp), from its first
# #include line to its end, word for word.
file(READ ${SAMPLE} sample)
string(FIND "${sample}" "#include" start)
string(SUBSTRING "${sample}" ${start} -1 sample)
file(READ ${README} readme)
string(FIND "${readme}" "${sample}" found)
if(found EQUAL -1)
  get_filename_component(name ${SAMPLE} NAME)
  message(FATAL_ERROR "README.md does not hold examples/${name} as it is now; copy it in again")
endif()

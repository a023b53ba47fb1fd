# Files of pellora_core in this folder.

# Files of pellora_ui in this folder.

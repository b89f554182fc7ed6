. "$(dirname "${BASH_SOURCE[0]}")/../stage.sh"

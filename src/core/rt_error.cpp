#include "rt_error.h"

namespace rt {

QString errorDescription(int32_t number) {
    switch (number) {
    case ErrInvalidCall:
        return QStringLiteral("Argument ou appel de procédure incorrect");
    case ErrOverflow:
        return QStringLiteral("Dépassement de capacité");
    case ErrOutOfMemory:
        return QStringLiteral("Mémoire insuffisante");
    case ErrSubscript:
        return QStringLiteral("L'indice n'appartient pas à la sélection");
    case ErrDivisionByZero:
        return QStringLiteral("Division par zéro");
    case ErrTypeMismatch:
        return QStringLiteral("Type incompatible");
    case ErrBadFileName:
        return QStringLiteral("Nom ou numéro de fichier incorrect");
    case ErrFileNotFound:
        return QStringLiteral("Fichier introuvable");
    case ErrDeviceIO:
        return QStringLiteral("Erreur d'entrée/sortie de périphérique");
    case ErrFileExists:
        return QStringLiteral("Ce fichier existe déjà");
    case ErrDiskFull:
        return QStringLiteral("Disque plein");
    case ErrInputPastEnd:
        return QStringLiteral("L'entrée dépasse la fin de fichier");
    case ErrPermissionDenied:
        return QStringLiteral("Permission refusée");
    case ErrPathFileAccess:
        return QStringLiteral("Erreur d'accès au chemin/fichier");
    case ErrPathNotFound:
        return QStringLiteral("Chemin d'accès introuvable");
    case ErrObjectNotSet:
        return QStringLiteral("Variable objet ou variable de bloc With non définie");
    case ErrInvalidProperty:
        return QStringLiteral("Valeur de propriété incorrecte");
    case ErrWrongArguments:
        return QStringLiteral(
            "Nombre d'arguments incorrect ou affectation de propriété incorrecte");
    case ErrInvalidPicture:
        return QStringLiteral("Image incorrecte");
    case ErrPrinter:
        return QStringLiteral("Erreur d'imprimante");
    case ErrCancel:
        return QStringLiteral("Annuler a été sélectionné.");
    default:
        return {};
    }
}

RtError::RtError(int32_t number, QString description, QString source)
    : std::runtime_error(("run-time error " + std::to_string(number)).c_str()), Number(number),
      Description(description.isEmpty() ? errorDescription(number) : std::move(description)),
      Source(std::move(source)) {}

void raise(int32_t number, const QString& source) {
    throw RtError(number, {}, source);
}

} // namespace rt
